// The link's form: the fragment's fields, base64url, the body's lines, the hash.
#include "studio/moment_link.h"

#include "gfx/data_dir.h"
#include "gfx/programs.h"
#include "gfx/textures.h"
#include "tuning/tuning_line.h"

#include <algorithm>

static_assert(MomentEditableCount == SceneProgramCount, "the nine shaders are the editable files");
static_assert(MomentFileMaxBytes == ShaderTextBufferSize - 1, "an edit fits the shader buffer");

namespace {

constexpr char FirstLine[] = "avada-kedabra moment";
constexpr char Base64Url[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

bool fail(std::string &error, std::string text) {
    error = std::move(text);
    return false;
}

// Digits only, at most nine of them, up to max.
bool read_number(std::string_view text, int64_t max, int64_t &value) {
    if (text.empty() || text.size() > 9) return false;
    value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return value <= max;
}

int base64url_value(char c) {
    const char *at = std::find(Base64Url, Base64Url + 64, c);
    return at == Base64Url + 64 ? -1 : static_cast<int>(at - Base64Url);
}

// RFC 4648 section 5 without padding; false for any other character or a length no encoding has.
bool base64url_decode(std::string_view text, std::vector<unsigned char> &bytes) {
    if (text.size() % 4 == 1) return false;
    bytes.clear();
    bytes.reserve(text.size() / 4 * 3 + 2);
    uint32_t bits = 0;
    int count = 0;
    for (const char c : text) {
        const int value = base64url_value(c);
        if (value < 0) return false;
        bits = bits << 6 | static_cast<uint32_t>(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            bytes.push_back(static_cast<unsigned char>(bits >> count));
        }
    }
    return true;
}

std::string base64url_encode(const unsigned char *bytes, std::size_t size) {
    std::string text;
    text.reserve((size * 4 + 2) / 3);
    uint32_t bits = 0;
    int count = 0;
    for (std::size_t i = 0; i < size; ++i) {
        bits = bits << 8 | bytes[i];
        count += 8;
        while (count >= 6) {
            count -= 6;
            text += Base64Url[bits >> count & 63];
        }
    }
    if (count > 0) text += Base64Url[bits << (6 - count) & 63];
    return text;
}

// The body's lines one by one, each without its "\n"; the edits' texts by their length.
struct BodyReader {
    std::string_view body;
    std::size_t pos = 0;
    int line = 0;
    std::string_view text; // the current line

    bool next() {
        const std::size_t end = body.find('\n', pos);
        if (end == std::string_view::npos) return false;
        text = body.substr(pos, end - pos);
        pos = end + 1;
        ++line;
        return true;
    }
    // The current line's value after "name ", if the line is that field.
    bool field(const char *name, std::string_view &value) const {
        const std::string_view key(name);
        if (text.size() <= key.size() || text.compare(0, key.size(), key) != 0 ||
            text[key.size()] != ' ')
            return false;
        value = text.substr(key.size() + 1);
        return true;
    }
    bool refuse(std::string &error, const std::string &why) const {
        return fail(error, "the link's body, line " + std::to_string(line) + ": " + why);
    }
    // Why the current line is not the field expected there.
    bool unexpected(std::string &error, const char *expected) const {
        const std::string_view name = text.substr(0, text.find(' '));
        for (const char *known : {"time", "loop", "paused", "tuning", "served", "file", "end"})
            if (name == known)
                return refuse(error, "the " + std::string(name) +
                                         " field is repeated or out of order (expected " +
                                         expected + ")");
        return refuse(error, "unknown field \"" + std::string(name.substr(0, 40)) +
                                 "\" (expected " + expected + ")");
    }
};

// "FROM TO" of the loop field.
bool read_loop(std::string_view value, Moment &m) {
    const std::size_t space = value.find(' ');
    int64_t from = 0, to = 0;
    if (space == std::string_view::npos ||
        !read_number(value.substr(0, space), MomentEndMs, from) ||
        !read_number(value.substr(space + 1), MomentEndMs, to) || from >= to)
        return false;
    m.loop_from_ms = static_cast<int32_t>(from), m.loop_to_ms = static_cast<int32_t>(to);
    return true;
}

bool read_hash(std::string_view text, uint64_t &hash) {
    if (text.size() != 16) return false;
    hash = 0;
    for (const char c : text) {
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0) return false;
        hash = hash << 4 | static_cast<uint64_t>(digit);
    }
    return true;
}

// One "file NAME BYTES" line and the text after it.
bool read_edit(BodyReader &r, std::string_view value, Moment &m, std::string &error) {
    const std::size_t space = value.rfind(' ');
    const std::string_view name = value.substr(0, space == std::string_view::npos ? 0 : space);
    int slot = 0;
    while (slot < MomentEditableCount && name != moment_served_file(slot)) ++slot;
    if (slot == MomentEditableCount)
        return r.refuse(error, "an edit of \"" + std::string(name.substr(0, 40)) +
                                   "\", which is not one of the nine shader files");
    for (const MomentEdit &edit : m.edits)
        if (edit.slot == slot) return r.refuse(error, "a second edit of " + std::string(name));
    int64_t bytes = 0;
    if (!read_number(value.substr(space + 1), static_cast<int64_t>(MomentFileMaxBytes), bytes))
        return r.refuse(error, "the edit of " + std::string(name) + " is not 0 to " +
                                   std::to_string(MomentFileMaxBytes) + " bytes long");
    const std::size_t size = static_cast<std::size_t>(bytes);
    if (r.body.size() - r.pos <= size || r.body[r.pos + size] != '\n')
        return r.refuse(error, "the edit of " + std::string(name) + " is cut short");
    const std::string_view text = r.body.substr(r.pos, size);
    if (text.find('\0') != std::string_view::npos)
        return r.refuse(error, "the edit of " + std::string(name) + " holds a NUL byte");
    m.edits.push_back({slot, std::string(text)});
    r.pos += size + 1;
    return true;
}

} // namespace

const char *moment_served_file(int index) {
    if (index >= 0 && index < SceneProgramCount) return SceneShaderFiles[index];
    if (index == SceneProgramCount) return CreditsImageFile;
    if (index == SceneProgramCount + 1) return MusicFileName;
    return nullptr;
}

uint64_t fnv1a_64(std::string_view bytes) {
    uint64_t hash = 0xcbf29ce484222325u;
    for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
    return hash;
}

std::string hash_hex(uint64_t hash) {
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, hash >>= 4)
        text[static_cast<std::size_t>(i)] = "0123456789abcdef"[hash & 15];
    return text;
}

std::string moment_id(std::string_view body) {
    return hash_hex(fnv1a_64(body)).substr(0, 12);
}

bool unwrap_moment_link(std::string_view link, MomentLinkParts &parts, std::string &error) {
    parts = MomentLinkParts{};
    if (link.size() > MomentLinkMaxChars)
        return fail(error, "the link is " + std::to_string(link.size()) +
                               " characters long, more than the " +
                               std::to_string(MomentLinkMaxChars) + " a link may have");
    // An address holds none, and a reason must stay one line: a link broken by a mail program, say.
    if (std::any_of(link.begin(), link.end(), [](char c) { return c >= 0 && c <= ' '; }))
        return fail(error, "malformed link: it holds white space or a control character");
    const std::size_t hash = link.find('#');
    if (hash == std::string_view::npos)
        return fail(error, "malformed link: no '#' before its fields");
    // name=value fields, each name once; the version first, so a later form's fields are named as
    // such rather than as unknown.
    std::string_view fields[3]; // v, z, play
    bool seen[3] = {};
    std::string_view unknown;
    for (std::size_t pos = hash + 1, end = pos; end != std::string_view::npos; pos = end + 1) {
        end = link.find('&', pos);
        const std::string_view field =
            link.substr(pos, end == std::string_view::npos ? end : end - pos);
        const std::size_t equals = field.find('=');
        if (field.empty() || equals == std::string_view::npos || equals == 0)
            return fail(error, "malformed link: a field that is not name=value");
        const std::string_view name = field.substr(0, equals);
        const int id = name == "v" ? 0 : name == "z" ? 1 : name == "play" ? 2 : -1;
        if (id < 0) {
            if (unknown.empty()) unknown = name;
            continue;
        }
        if (seen[id])
            return fail(error,
                        "malformed link: the field " + std::string(name) + " is given twice");
        seen[id] = true;
        fields[id] = field.substr(equals + 1);
    }
    int64_t version = 0;
    if (!seen[0] || !read_number(fields[0], 999999999, version))
        return fail(error, "malformed link: no version (v=1)");
    parts.version = static_cast<int>(version);
    if (version != MomentLinkVersion)
        return fail(error, "the link is of version " + std::to_string(version) +
                               "; this program reads version " + std::to_string(MomentLinkVersion));
    if (!unknown.empty())
        return fail(error, "malformed link: unknown field " + std::string(unknown.substr(0, 40)));
    if (!seen[1]) return fail(error, "malformed link: no moment (z=...)");
    if (seen[2] && fields[2] != "sound" && fields[2] != "muted")
        return fail(error, "malformed link: play is neither sound nor muted");
    parts.play = !seen[2]               ? MomentPlay::studio
                 : fields[2] == "sound" ? MomentPlay::sound
                                        : MomentPlay::muted;
    if (!base64url_decode(fields[1], parts.compressed))
        return fail(error, "malformed link: z is not base64url (A-Z a-z 0-9 - _, no padding)");
    return true;
}

bool parse_moment_body(std::string_view body, Moment &moment, std::string &error) {
    Moment m;
    BodyReader r{body, 0, 0, {}};
    std::string_view value;
    int64_t number = 0;
    // The next line, which must be the field `name`.
    const auto next_field = [&](const char *name) {
        if (!r.next())
            return r.refuse(error, std::string("the body ends before its ") + name + " line");
        return r.field(name, value) || r.unexpected(error, name);
    };
    if (!r.next() || r.text != FirstLine)
        return fail(error, "the link's body is not a moment (its first line is not \"" +
                               std::string(FirstLine) + "\")");
    if (!next_field("time")) return false;
    if (!read_number(value, MomentEndMs, number))
        return r.refuse(error, "the time is not 0 to " + std::to_string(MomentEndMs) + " ms");
    m.time_ms = static_cast<int32_t>(number);
    if (!r.next()) return r.refuse(error, "the body ends before its paused line");
    if (r.field("loop", value)) {
        if (!read_loop(value, m))
            return r.refuse(error, "the loop is not FROM TO, 0 <= FROM < TO <= " +
                                       std::to_string(MomentEndMs) + " ms");
        if (!next_field("paused")) return false;
    } else if (!r.field("paused", value)) {
        return r.unexpected(error, "paused");
    }
    if (value != "0" && value != "1") return r.refuse(error, "paused is neither 0 nor 1");
    m.paused = value == "1";
    // The value is the rest of the line, which may be empty: "tuning " and nothing after it.
    if (!next_field("tuning")) return false;
    m.tuning = std::string(value);
    std::vector<TuningEntry> entries;
    std::string why;
    if (!parse_tuning_line(m.tuning, entries, why)) return r.refuse(error, "the tuning: " + why);
    for (int i = 0; i < MomentServedCount; ++i) {
        const std::string expected = std::string(moment_served_file(i)) + " ";
        if (!next_field("served")) return false;
        if (value.compare(0, expected.size(), expected) != 0 ||
            !read_hash(value.substr(expected.size()), m.served[i]))
            return r.refuse(error, "expected \"served " + expected + "HASH\" (16 hex digits)");
    }
    for (;;) {
        if (!r.next()) return r.refuse(error, "the body ends before its end line");
        if (r.text == "end") break;
        if (!r.field("file", value)) return r.unexpected(error, "file or end");
        if (!read_edit(r, value, m, error)) return false;
    }
    if (r.pos != body.size()) return r.refuse(error, "more follows the end line");
    moment = std::move(m);
    return true;
}

std::string write_moment_body(const Moment &m) {
    std::string body = std::string(FirstLine) + "\ntime " + std::to_string(m.time_ms) + "\n";
    if (m.loop_from_ms >= 0 && m.loop_to_ms > m.loop_from_ms)
        body +=
            "loop " + std::to_string(m.loop_from_ms) + " " + std::to_string(m.loop_to_ms) + "\n";
    body += std::string("paused ") + (m.paused ? "1" : "0") + "\ntuning " + m.tuning + "\n";
    for (int i = 0; i < MomentServedCount; ++i)
        body += "served " + std::string(moment_served_file(i)) + " " + hash_hex(m.served[i]) + "\n";
    // In slot order, so one moment has one body and one folder name.
    std::vector<const MomentEdit *> edits;
    for (const MomentEdit &edit : m.edits) edits.push_back(&edit);
    std::sort(edits.begin(), edits.end(),
              [](const MomentEdit *a, const MomentEdit *b) { return a->slot < b->slot; });
    for (const MomentEdit *edit : edits)
        body += "file " + std::string(moment_served_file(edit->slot)) + " " +
                std::to_string(edit->text.size()) + "\n" + edit->text + "\n";
    return body + "end\n";
}

std::string wrap_moment_fragment(const unsigned char *compressed, std::size_t size,
                                 MomentPlay play) {
    std::string fragment = "#v=" + std::to_string(MomentLinkVersion);
    if (play != MomentPlay::studio)
        fragment += play == MomentPlay::sound ? "&play=sound" : "&play=muted";
    return fragment + "&z=" + base64url_encode(compressed, size);
}
