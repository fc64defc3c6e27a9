// Shared between the files of the headless platform only.
#pragma once

#include "platform/platform.h"

namespace spurlese {

namespace platform {

// The kind of a control; Label for a number that names none.
ControlKind KindOfControl(int control);

void ResetWindowModel();
void ResetFileSystem();
void ResetProcesses();
void ResetEvents();
void ResetText();

// Runs the size-changed callbacks of the window at once and queues its event.
void RaiseSizeChanged(int window);

enum class WindowAction { Resize, Minimise, Maximise, Restore };
void ApplyWindowAction(WindowAction action, int width, int height);

// Listings and files opened and not yet closed.
size_t OpenFileSystemHandles();

// Delivers the events a test asked to raise while a process runs.
void OnProcessStarted();

}  // namespace platform

}  // namespace spurlese
