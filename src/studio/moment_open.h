// A link opened by a native host (demo --studio --link, demo-capture --link): read, checked
// against the data folder, and its edits put into a folder of their own, links/ID/ in the working
// directory: the nine shader files (the data folder's, the link's edits over them) and tuning.txt
// (its tuning line). The credits image and the music stay in the data folder.
#pragma once
#include "studio/moment_link.h"

#include <string>
#include <string_view>

constexpr char MomentLinksFolder[] = "links";
constexpr char MomentTuningFile[] = "tuning.txt";
// What --link-file may hold: the longest link and white space around it.
constexpr std::size_t MomentLinkFileMaxBytes = MomentLinkMaxChars + 4096;

// The link given as --link TEXT or --link-file PATH (the other null), white space around it
// dropped. False with the reason when the file cannot be read or holds more than a link can be.
bool read_moment_link_text(const char *link, const char *link_file, std::string &text,
                           std::string &error);

// What an existing folder of the link means.
enum class MomentFolderUse {
    keep,  // the studio: the maker's work since the link was opened, used as it is
    match, // a capture: used only while its shader files are the link's
};

struct OpenedMoment {
    Moment moment;
    std::string folder;   // links_folder/ID
    bool existed = false; // it was there before
};

// Unwraps, inflates and parses the link, compares its served hashes with the data folder's files
// (unless any_data), and makes its folder under links_folder whole (written beside it, renamed
// into place) or takes the one there as `use` says. False with the reason, and nothing written,
// when any of that fails.
bool open_moment_link(std::string_view link, bool any_data, MomentFolderUse use,
                      const char *links_folder, OpenedMoment &opened, std::string &error);
