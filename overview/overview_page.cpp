#include "overview/overview_page.h"

#include <algorithm>

#include "archive/logical_order.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"

namespace spurlese::overview {

namespace {

constexpr size_t kPlacesShown = 3;
constexpr size_t kOpenShows = 10;  // a page with more shows opens with each folded

// Percent-encodes a path's text as UTF-8; `keep` are the characters left as they are.
std::u16string Encoded(std::u16string_view text, std::u16string_view keep) {
    const std::string bytes = platform::Utf16ToUtf8(text);
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::u16string url;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain =
            (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
            (byte >= '0' && byte <= '9') ||
            (byte < 0x80 &&
             (std::u16string_view(u"-._~").find(char16_t(byte)) != std::u16string_view::npos ||
              keep.find(char16_t(byte)) != std::u16string_view::npos));
        if (plain) {
            url.push_back(char16_t(byte));
        } else {
            url.push_back(u'%');
            url.push_back(char16_t(kHex[byte >> 4]));
            url.push_back(char16_t(kHex[byte & 15]));
        }
    }
    return url;
}

// "14.07.2023 14:03", local time.
std::u16string GermanTime(int64_t when) {
    platform::LocalTime t;
    if (!platform::ToLocalTime(when, &t)) return {};
    return TwoDigits(t.day) + u"." + TwoDigits(t.month) + u"." + Decimal(t.year) + u" " +
           TwoDigits(t.hour) + u":" + TwoDigits(t.minute);
}

// "2,4 MB", as Explorer shows sizes, with a decimal comma.
std::u16string GermanSize(int64_t bytes) {
    const struct Unit {
        int64_t size;
        const char16_t* name;
    } units[] = {
        {int64_t{1} << 30, u" GB"}, {int64_t{1} << 20, u" MB"}, {int64_t{1} << 10, u" KB"}};
    for (const Unit& unit : units) {
        if (bytes < unit.size) continue;
        const int64_t tenths = (bytes * 10 + unit.size / 2) / unit.size;
        return Decimal(tenths / 10) + u"," + Decimal(tenths % 10) + unit.name;
    }
    return Decimal(bytes) + u" Bytes";
}

// A tile is few elements, as a folded show's tiles are parsed all the same: the thumbnail box of a
// film or of a file without thumbnail is drawn by the style, the name is the <b>, the folder and
// the file's facts share one <small> (a line each), the shows that share it are the <em>.
const char16_t kStyle[] =
    u"body{font-family:\"Segoe UI\",sans-serif;margin:1.5em;background:#f4f4f4;color:#222}"
    u"h1{font-size:1.6em;color:#1f5fbf}h2{font-size:1.2em;margin:1.5em 0 .2em}"
    u".summary,.project{color:#555}.tiles{display:flex;flex-wrap:wrap;gap:12px}"
    u".tile{display:flex;flex-direction:column;width:272px;padding:8px;background:#fff;"
    u"border:1px solid #ddd;border-radius:6px;color:inherit;text-decoration:none;"
    u"overflow-wrap:anywhere}"
    u".tile>img{width:256px;height:256px;object-fit:contain;align-self:center}"
    u".f::before,.n::before{display:flex;align-items:center;justify-content:center;height:256px}"
    u".f::before{content:\"\\25B6\";background:#333;color:#eee;font-size:3em}"
    u".n::before{content:\"Keine Vorschau\";background:#ccc;color:#333}"
    u".tile b{font-weight:600;margin-top:6px}"
    u".tile small{font-size:.9em;color:#666;white-space:pre-line}"
    u".tile em{font-style:normal;font-size:.9em;color:#1f5fbf}.missing{border-color:#c33}"
    u".flag{color:#fff;background:#c33;border-radius:3px;padding:0 6px;align-self:flex-start}"
    u".places{display:flex;flex-wrap:wrap;gap:4px;margin-top:6px}"
    u".places a{display:flex;width:84px;height:84px;text-decoration:none}"
    u".places img{width:84px;height:84px;object-fit:contain}"
    u".places .f::before,.places .n::before{width:84px;height:84px;font-size:.8em;"
    u"text-align:center}"
    u"summary{cursor:pointer}summary h2{display:inline;margin:0}section{margin-top:1.2em}"
    u".counts,.back{color:#555}.back a,nav a{color:#1f5fbf}"
    u"nav table{border-collapse:collapse;background:#fff}"
    u"nav th,nav td{border:1px solid #ddd;padding:2px 10px;text-align:right}"
    u"nav th:first-child,nav td:first-child{text-align:left}";

class Page {
public:
    Page(const ScanRecord& record, const PageFacts& facts) : record_(record), facts_(facts) {
        const std::vector<std::u16string> files = ThumbnailFiles(record);
        for (size_t k = 0; k < files.size() && k < facts.thumbnails.size(); ++k)
            thumbnails_.emplace(platform::LowerCase(files[k]), facts.thumbnails[k]);
        base_ = WithFinalBackslash(record.inputs.basePath);
    }

    // The picture part of a link: its class (a film, or no thumbnail: the style draws the box),
    // and the lazy thumbnail of `side` pixels inside it, if there is one.
    struct Picture {
        std::u16string_view css;
        std::u16string image;
    };
    Picture PictureOf(const std::u16string& file, std::u16string_view side) const {
        const auto found = thumbnails_.find(platform::LowerCase(file));
        const Thumbnail thumbnail = found == thumbnails_.end() ? Thumbnail() : found->second;
        switch (thumbnail.kind) {
            case ThumbnailKind::kPicture:
                // Loaded as it comes into view, in a box of its size, so the page never jumps.
                return {u"", u"<img loading=\"lazy\" width=\"" + std::u16string(side) +
                                 u"\" height=\"" + std::u16string(side) + u"\" src=\"" +
                                 EscapeHtml(RelativeUrl(facts_.folderName, thumbnail.file)) +
                                 u"\" alt=\"" + EscapeHtml(FileNamePart(file)) + u"\">"};
            case ThumbnailKind::kFilm:
                return {u"f", {}};
            case ThumbnailKind::kNameOnly:
                break;
        }
        return {u"n", {}};
    }

    // The folder below the base path.
    std::u16string Folder(std::u16string_view file) const {
        std::u16string_view folder = WithoutFinalBackslash(FolderPart(file));
        if (platform::LowerCase(std::u16string(folder) + u"\\")
                .starts_with(platform::LowerCase(base_)))
            folder.remove_prefix(std::min(folder.size(), base_.size()));
        return folder.empty() ? u"(Basis Pfad)" : std::u16string(folder);
    }

    // `others`: the names of the other shows that use the file, named on hover.
    std::u16string UsedTile(const std::u16string& file,
                            const std::vector<std::u16string>& others) const {
        const Picture picture = PictureOf(file, u"256");
        std::u16string tile =
            u"<a class=\"tile" + (picture.css.empty() ? u"" : u" " + std::u16string(picture.css)) +
            u"\" href=\"" + EscapeHtml(FileUrl(file)) + u"\">" + picture.image + u"<b>" +
            EscapeHtml(FileNamePart(file)) + u"</b><small>" + EscapeHtml(Folder(file));
        int64_t size = 0, lastWrite = 0;
        if (platform::FileFacts(file, &size, &lastWrite))
            tile += u"\n" + GermanSize(size) + u" \u00B7 " + GermanTime(lastWrite);
        tile += u"</small>";
        if (!others.empty()) {
            std::u16string names;
            for (const std::u16string& other : others)
                names += (names.empty() ? u"" : u", ") + other;
            tile += u"<em title=\"auch in: " + EscapeHtml(names) + u"\">in " +
                    Decimal(static_cast<int64_t>(others.size() + 1)) + u" Shows</em>";
        }
        return tile + u"</a>";
    }

    std::u16string MissingTile(const std::u16string& path, size_t missingIndex) const {
        std::u16string tile = u"<div class=\"tile missing\"><span class=\"flag\">fehlt</span><b>" +
                              EscapeHtml(FileNamePart(path)) + u"</b><small>" +
                              EscapeHtml(Folder(path));
        const archive::ArchiveIndex& index = record_.archive;
        if (missingIndex < record_.candidates.size() && !record_.candidates[missingIndex].empty()) {
            tile += u"\nvermutlich jetzt unter:</small><span class=\"places\">";
            const std::vector<uint32_t>& places = record_.candidates[missingIndex];
            for (size_t c = 0; c < places.size() && c < kPlacesShown; ++c) {
                const std::u16string place = index.Path(index.files[places[c]]);
                const Picture picture = PictureOf(place, u"84");
                tile += u"<a" +
                        (picture.css.empty() ? u""
                                             : u" class=\"" + std::u16string(picture.css) + u"\"") +
                        u" href=\"" + EscapeHtml(FileUrl(place)) + u"\" title=\"" +
                        EscapeHtml(place) + u"\">" + picture.image + u"</a>";
            }
            return tile + u"</span></div>";
        }
        return tile + u"</small></div>";
    }

private:
    const ScanRecord& record_;
    const PageFacts& facts_;
    TextMap<Thumbnail> thumbnails_;
    std::u16string base_;
};

}  // namespace

std::u16string EscapeHtml(std::u16string_view text) {
    std::u16string escaped;
    escaped.reserve(text.size());
    for (const char16_t c : text) {
        switch (c) {
            case u'&':
                escaped += u"&amp;";
                break;
            case u'<':
                escaped += u"&lt;";
                break;
            case u'>':
                escaped += u"&gt;";
                break;
            case u'"':
                escaped += u"&quot;";
                break;
            case u'\'':
                escaped += u"&#39;";
                break;
            default:
                escaped.push_back(c);
        }
    }
    return escaped;
}

std::u16string FileUrl(std::u16string_view path) {
    std::u16string slashed(path);
    std::replace(slashed.begin(), slashed.end(), u'\\', u'/');
    if (slashed.starts_with(u"//")) return u"file:" + Encoded(slashed, u"/");
    return u"file:///" + Encoded(slashed, u"/:");
}

std::u16string RelativeUrl(std::u16string_view folder, std::u16string_view name) {
    return Encoded(folder, u"") + u"/" + Encoded(name, u"");
}

std::vector<std::u16string> ThumbnailFiles(const ScanRecord& record) {
    std::vector<std::u16string> files;
    TextSet seen;
    const auto add = [&](const std::u16string& file) {
        if (seen.insert(platform::LowerCase(file)).second) files.push_back(file);
    };
    for (const std::u16string& used : record.Used().files) add(used);
    const archive::ArchiveIndex& index = record.archive;
    for (const std::vector<uint32_t>& places : record.candidates) {
        for (size_t c = 0; c < places.size() && c < kPlacesShown; ++c)
            add(index.Path(index.files[places[c]]));
    }
    return files;
}

std::u16string OverviewPageText(const ScanRecord& record, const PageFacts& facts) {
    const Page page(record, facts);
    // Each project's used files (by identity, once) and missing files, in the order met.
    struct Project {
        std::vector<std::u16string> used;
        std::vector<size_t> missing;  // indexes into record.missing
    };
    std::vector<Project> projects(record.projectFiles.size());
    TextMap<size_t> projectOf;
    for (size_t p = 0; p < record.projectFiles.size(); ++p)
        projectOf.emplace(record.projectFiles[p], p);
    TextMap<TextSet> showsOf;  // a used file's projects
    TextSet listed;
    for (const HitSource& hit : record.hits) {
        const FileIdentity& identity = record.IdentityOf(hit.hit);
        const auto project = projectOf.find(hit.projectFile);
        if (identity.kind != FileIdentity::Kind::kFile || project == projectOf.end()) continue;
        const std::u16string key = platform::LowerCase(identity.path);
        showsOf[key].insert(hit.projectFile);
        if (listed.insert(Decimal(static_cast<int64_t>(project->second)) + u"|" + key).second)
            projects[project->second].used.push_back(identity.path);
    }
    TextMap<size_t> missingIndex;
    for (size_t m = 0; m < record.missing.size(); ++m) missingIndex.emplace(record.missing[m], m);
    for (const HitSource& gone : record.missingSources) {
        const auto project = projectOf.find(gone.projectFile);
        const auto m = missingIndex.find(gone.hit);
        if (project == projectOf.end() || m == missingIndex.end()) continue;
        std::vector<size_t>& missing = projects[project->second].missing;
        if (std::find(missing.begin(), missing.end(), m->second) == missing.end())
            missing.push_back(m->second);
    }

    std::u16string html =
        u"<!DOCTYPE html>\n<html lang=\"de\"><head><meta charset=\"utf-8\">"
        u"<title>Spurlese \u2013 \u00DCbersicht der Shows</title><style>" +
        std::u16string(kStyle) + u"</style></head><body>\n<h1>\u00DCbersicht der Shows</h1>\n";
    const auto count = [](size_t n, std::u16string_view one, std::u16string_view many) {
        return Decimal(static_cast<int64_t>(n)) + u" " + std::u16string(n == 1 ? one : many);
    };
    html += u"<p class=\"summary\">" + count(record.projectFiles.size(), u"Projekt", u"Projekte") +
            u", " + count(showsOf.size(), u"verwendete Datei", u"verwendete Dateien") + u", " +
            count(record.missing.size(), u"fehlende Datei", u"fehlende Dateien") +
            u"<br>Suche vom " + GermanTime(facts.scannedAt) + u", Basis Pfad " +
            EscapeHtml(record.inputs.basePath) + u"</p>\n";
    TextMap<const UnreadProject*> unreadOf;
    for (const UnreadProject& unread : record.unread) unreadOf.emplace(unread.projectFile, &unread);
    // The shows as Explorer sorts their names: the list at the top, then their sections.
    std::vector<size_t> order(projects.size());
    std::vector<std::u16string> names(projects.size());
    for (size_t p = 0; p < projects.size(); ++p) {
        order[p] = p;
        names[p] = platform::LowerCase(FileNamePart(record.projectFiles[p]));
    }
    std::stable_sort(order.begin(), order.end(), [&names](size_t a, size_t b) {
        return archive::LogicalCompare(names[a], names[b]) < 0;
    });
    const auto sharedOf = [&](size_t p) {
        size_t shared = 0;
        for (const std::u16string& used : projects[p].used)
            shared += showsOf[platform::LowerCase(used)].size() > 1 ? 1 : 0;
        return shared;
    };
    const auto anchor = [](size_t p) { return u"show-" + Decimal(static_cast<int64_t>(p + 1)); };
    html +=
        u"<nav id=\"shows\"><table><thead><tr><th>Show</th><th>Dateien</th><th>fehlen</th>"
        u"<th>mit anderen Shows geteilt</th></tr></thead><tbody>\n";
    for (size_t p : order) {
        const std::u16string link = u"<td><a href=\"#" + anchor(p) + u"\">" +
                                    EscapeHtml(FileNamePart(record.projectFiles[p])) + u"</a></td>";
        if (unreadOf.count(record.projectFiles[p])) {
            html += u"<tr>" + link + u"<td colspan=\"3\">nicht gelesen</td></tr>\n";
            continue;
        }
        html += u"<tr>" + link + u"<td>" + Decimal(static_cast<int64_t>(projects[p].used.size())) +
                u"</td><td>" + Decimal(static_cast<int64_t>(projects[p].missing.size())) +
                u"</td><td>" + Decimal(static_cast<int64_t>(sharedOf(p))) + u"</td></tr>\n";
    }
    html += u"</tbody></table></nav>\n";
    // Many shows fold, so that the page opens short and every show is one click away.
    const bool open = projects.size() <= kOpenShows;
    const std::u16string back =
        u"<p class=\"back\"><a href=\"#shows\">\u2191 zur Liste der Shows</a></p>";
    for (size_t p : order) {
        const std::u16string& file = record.projectFiles[p];
        const std::u16string start = u"<section id=\"" + anchor(p) + u"\">";
        // An unread show is said to be one, never shown as a show without files.
        if (const auto unread = unreadOf.find(file); unread != unreadOf.end()) {
            html += start + u"<h2>" + EscapeHtml(FileNamePart(file)) +
                    u" <span class=\"flag\">nicht gelesen</span></h2><p class=\"project\">" +
                    EscapeHtml(file) + u" \u00B7 " + EscapeHtml(WhyUnread(*unread->second)) +
                    u"</p>" + back + u"</section>\n";
            continue;
        }
        const std::u16string counts =
            count(projects[p].used.size(), u"Datei", u"Dateien") +
            (projects[p].missing.empty()
                 ? u""
                 : u", " + count(projects[p].missing.size(), u"fehlt", u"fehlen"));
        html += start + (open ? u"<details open>" : u"<details>") + u"<summary><h2>" +
                EscapeHtml(FileNamePart(file)) + u"</h2> <span class=\"counts\">" + counts +
                u"</span></summary><p class=\"project\">" + EscapeHtml(file) + u" \u00B7 " +
                counts + u"</p>\n<div class=\"tiles\">";
        std::vector<std::u16string> others;
        for (const std::u16string& used : projects[p].used) {
            others.clear();
            for (const std::u16string& show : showsOf[platform::LowerCase(used)]) {
                if (show != file) others.emplace_back(FileNamePart(show));
            }
            std::sort(
                others.begin(), others.end(), [](const std::u16string& a, const std::u16string& b) {
                    return archive::LogicalCompare(platform::LowerCase(a), platform::LowerCase(b)) <
                           0;
                });
            html += page.UsedTile(used, others);
        }
        for (size_t m : projects[p].missing) html += page.MissingTile(record.missing[m], m);
        html += u"</div>" + back + u"</details></section>\n";
    }
    return html + u"</body></html>";
}

}  // namespace spurlese::overview
