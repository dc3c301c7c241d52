// A moment of the demo as a link (version 1): loop time, loop, paused, the tuning line and the
// edited shader files, in the fragment of the page's address, so it is never sent to a server:
//   PAGE#v=1&z=PAYLOAD   or   PAGE#v=1&play=sound&z=...   (play=muted too)
// PAYLOAD is the body below compressed as a zlib stream, in base64url without padding. This file
// is the form's one home, for every host; it holds no zlib, so the page can inflate and deflate
// with the browser's own streams (natively: studio/moment_inflate.h). The body, line by line:
//   avada-kedabra moment
//   time MS                   0 to 152000
//   loop FROM_MS TO_MS        optional, FROM_MS < TO_MS
//   paused 0|1
//   tuning LINE               the clipboard line, may be empty
//   served NAME HASH          eleven lines, the data folder's files in order (moment_served_file)
//   file NAME BYTES           zero or more edited shaders, each followed by its BYTES bytes, "\n"
//   end
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr int MomentLinkVersion = 1;
// Chromium's longest address, where the page's links stop.
constexpr std::size_t MomentLinkMaxChars = 2097152;
// What the demo reads of a shader file (ShaderTextBufferSize less the terminator).
constexpr std::size_t MomentFileMaxBytes = 199999;
// The inflated body at most: nine whole files and room for the rest; a zlib bomb stops here.
constexpr std::size_t MomentBodyMaxBytes = 9 * MomentFileMaxBytes + 65536;
constexpr int32_t MomentEndMs = 152000; // the studio's end
// The nine shaders, the credits image and the music.
constexpr int MomentServedCount = 11;
constexpr int MomentEditableCount = 9; // the first nine of them

// The data folder's files in the form's order: the scene shaders in program slot order
// (gfx/scene_shader_files.inc), then the credits image and the music. Null past the last.
const char *moment_served_file(int index);

// The 64-bit FNV-1a hash of the bytes. It tells "made against other data", no more: no security.
// A served file that is missing hashes as no bytes.
uint64_t fnv1a_64(std::string_view bytes);
// 16 lowercase hex digits.
std::string hash_hex(uint64_t hash);

struct MomentEdit {
    int slot;         // 0..8: the shader file moment_served_file(slot)
    std::string text; // at most MomentFileMaxBytes, no NUL
};

struct Moment {
    int32_t time_ms = 0;
    int32_t loop_from_ms = -1; // both -1: no loop
    int32_t loop_to_ms = -1;
    bool paused = false;
    std::string tuning;                      // tuning/tuning_line.h's grammar
    uint64_t served[MomentServedCount] = {}; // each data file's hash as the link's maker had it
    std::vector<MomentEdit> edits;           // in any order, each slot once
};

enum class MomentPlay { studio, sound, muted }; // no play field; play=sound; play=muted

struct MomentLinkParts {
    int version = 0;
    MomentPlay play = MomentPlay::studio;
    std::vector<unsigned char> compressed; // the zlib stream, base64url decoded
};

// The fragment of a link (everything after its first '#'), checked and decoded. False with the
// reason in error for a link over MomentLinkMaxChars, white space or a control character in it,
// no '#', an empty, unknown or repeated field, a missing v or z, a version other than
// MomentLinkVersion (parts.version holds it), a play other than sound or muted, or a z that is
// not base64url.
bool unwrap_moment_link(std::string_view link, MomentLinkParts &parts, std::string &error);

// The inflated body, read whole. False with the reason (naming the line) when it does not follow
// the form: another first line, a field unknown, repeated or out of order, a time or loop out of
// range, a malformed tuning line, a served line not of the expected file, an edit of a file that
// is not one of the nine shaders, an edit given twice or too long or holding a NUL, anything after
// "end". On false the moment is left as it was.
bool parse_moment_body(std::string_view body, Moment &moment, std::string &error);

// The body of the moment, as parse_moment_body reads it.
std::string write_moment_body(const Moment &moment);

// "#v=1&z=..." (with "&play=..." unless studio) for the compressed body: the page's address
// before it makes the link.
std::string wrap_moment_fragment(const unsigned char *compressed, std::size_t size,
                                 MomentPlay play);

// The name of a moment's own folder: the first 12 hex digits of its body's hash.
std::string moment_id(std::string_view body);
