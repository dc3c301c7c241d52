// Opening a link natively: every check first, then the link's folder made whole or taken as it is.
#include "studio/moment_open.h"

#include "gfx/data_dir.h"
#include "studio/moment_inflate.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace fs = std::filesystem;

namespace {

bool fail(std::string &error, std::string text) {
    error = std::move(text);
    return false;
}

bool read_bytes(const std::string &path, std::string &bytes) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

bool write_bytes(const fs::path &path, const std::string &bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    return !file.fail();
}

// The nine shader files as the link has them: its edits over the data folder's files.
bool link_shaders(const Moment &m, std::string (&texts)[MomentEditableCount], std::string &error) {
    bool edited[MomentEditableCount] = {};
    for (const MomentEdit &edit : m.edits) texts[edit.slot] = edit.text, edited[edit.slot] = true;
    for (int slot = 0; slot < MomentEditableCount; ++slot) {
        const DataPath path = data_path(moment_served_file(slot));
        if (!edited[slot] && !read_bytes(path.text, texts[slot]))
            return fail(error, std::string("cannot read ") + path.text);
    }
    return true;
}

// The data folder's files whose hashes are not the link's, named.
std::string other_data(const Moment &m) {
    std::string differing;
    for (int i = 0; i < MomentServedCount; ++i) {
        std::string bytes;
        const DataPath path = data_path(moment_served_file(i));
        read_bytes(path.text, bytes); // a missing file is no bytes, on every host
        if (fnv1a_64(bytes) == m.served[i]) continue;
        differing += (differing.empty() ? "" : ", ") + std::string(path.text);
    }
    return differing;
}

// Written into a folder of its own beside `folder`, then renamed into place: whole or not at all.
bool make_folder(const fs::path &folder, const std::string (&texts)[MomentEditableCount],
                 const std::string &tuning, std::string &error) {
    std::error_code ec;
    fs::create_directories(folder.parent_path(), ec);
    std::random_device random;
    const fs::path partial =
        folder.string() + ".partial-" + hash_hex(static_cast<uint64_t>(random()) << 32 | random());
    bool made = fs::create_directory(partial, ec);
    for (int slot = 0; made && slot < MomentEditableCount; ++slot)
        made = write_bytes(partial / moment_served_file(slot), texts[slot]);
    made = made && write_bytes(partial / MomentTuningFile, tuning + "\n");
    if (made) fs::rename(partial, folder, ec);
    if (made && !ec) return true;
    fs::remove_all(partial, ec);
    return fail(error, "cannot write the link's folder " + folder.generic_string());
}

} // namespace

bool read_moment_link_text(const char *link, const char *link_file, std::string &text,
                           std::string &error) {
    if (link) {
        text = link;
    } else {
        std::ifstream file(link_file, std::ios::binary);
        if (!file) return fail(error, std::string("--link-file: cannot read ") + link_file);
        text.assign(MomentLinkFileMaxBytes + 1, '\0');
        file.read(text.data(), static_cast<std::streamsize>(text.size()));
        text.resize(static_cast<std::size_t>(file.gcount()));
        if (file.bad()) return fail(error, std::string("--link-file: cannot read ") + link_file);
        if (text.size() > MomentLinkFileMaxBytes)
            return fail(error, std::string("--link-file: ") + link_file +
                                   " holds more than a link can be");
    }
    const char *space = " \t\r\n";
    const std::size_t first = text.find_first_not_of(space);
    text = first == std::string::npos
               ? ""
               : text.substr(first, text.find_last_not_of(space) + 1 - first);
    return true;
}

bool open_moment_link(std::string_view link, bool any_data, MomentFolderUse use,
                      const char *links_folder, OpenedMoment &opened, std::string &error) {
    MomentLinkParts parts;
    std::string body;
    Moment m;
    if (!unwrap_moment_link(link, parts, error) ||
        !inflate_moment_body(parts.compressed, body, error) || !parse_moment_body(body, m, error))
        return false;
    if (!any_data) {
        const std::string differing = other_data(m);
        if (!differing.empty())
            return fail(error, "the link was made against other data: " + differing +
                                   " differ (--any-data opens it anyway)");
    }
    std::string texts[MomentEditableCount];
    if (!link_shaders(m, texts, error)) return false;
    const fs::path folder = fs::path(links_folder) / moment_id(body);
    std::error_code ec;
    bool existed = fs::exists(folder, ec);
    // Another run may make it meanwhile (a farm's parts open one link at once): then it is there.
    if (!existed && !make_folder(folder, texts, m.tuning, error) &&
        !(existed = fs::exists(folder, ec)))
        return false;
    if (existed && use == MomentFolderUse::match) {
        for (int slot = 0; slot < MomentEditableCount; ++slot) {
            std::string bytes;
            const fs::path path = folder / moment_served_file(slot);
            if (!read_bytes(path.string(), bytes) || bytes != texts[slot])
                return fail(error, path.generic_string() +
                                       " is not the link's: move the folder away to use the link");
        }
    }
    opened.moment = std::move(m);
    opened.folder = folder.generic_string();
    opened.existed = existed;
    return true;
}
