// Faults that tests inject into the file operations of either platform, as a full disk,
// another program holding a file, or Windows failing halfway would cause them. Each platform asks
// FileOperationFails at the start of the operation; nothing fails unless a test asked.
#pragma once

namespace spurlese::platform {

enum class FileOperation {
    kCreate,          // CreateFileForWriting, and a copy's target
    kWrite,           // WriteToFile, and a piece of a copy
    kDiskFull,        // a piece of a copy finds the disk full
    kFlush,           // FlushFile, and a copy's flushes
    kClose,           // CloseFile: what was buffered is lost, as on a full disk
    kReplace,         // ReplaceWithBackup: nothing changes
    kReplaceHalfway,  // ReplaceWithBackup: the old file goes to the backup, the new one stays
    kRename,          // RenameFile
    kDelete,          // DeleteFilePath
    kCount
};

// The next `count` calls of the operation fail; a negative count, every call from now.
void FailFileOperation(FileOperation operation, int count = 1);
bool FileOperationFails(FileOperation operation);
void ClearFileFaults();

}  // namespace spurlese::platform
