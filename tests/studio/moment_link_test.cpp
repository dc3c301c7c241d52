// A moment as a link: the writer read back by the parser through zlib, each refusal of the form,
// the limits, and the native opening into links/ID/.
#include "gfx/data_dir.h"
#include "studio/moment_inflate.h"
#include "studio/moment_link.h"
#include "studio/moment_open.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <zlib.h>

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

std::vector<unsigned char> deflated(const std::string &body) {
    uLongf size = compressBound(body.size());
    std::vector<unsigned char> z(size);
    compress(z.data(), &size, reinterpret_cast<const Bytef *>(body.data()), body.size());
    z.resize(size);
    return z;
}

std::string link_of(const std::string &body, MomentPlay play = MomentPlay::studio) {
    const std::vector<unsigned char> z = deflated(body);
    return "http://127.0.0.1:8000/demo/" + wrap_moment_fragment(z.data(), z.size(), play);
}

std::string read_file(const fs::path &path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}
void write_file(const fs::path &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

Moment sample() {
    Moment m;
    m.time_ms = 110000, m.loop_from_ms = 105000, m.loop_to_ms = 115000, m.paused = true;
    m.tuning = "2:0.50(64) 13:1.00(127) ";
    for (int i = 0; i < MomentServedCount; ++i) m.served[i] = 0xabcdef0123456789u + i;
    std::string bytes; // every byte but NUL, and lines that look like the body's own
    for (int c = 1; c < 256; ++c) bytes += static_cast<char>(c);
    m.edits = {{6, "void main() {}\nend\nfile ball8.shader 3\n" + bytes}, {0, ""}};
    return m;
}

// The writer writes every field and the edits in one order: equal bodies, equal moments.
void expect_same(const Moment &a, const Moment &b) {
    EXPECT_EQ(write_moment_body(a), write_moment_body(b));
}

// The refusal's reason holds `why`; a link that opens says why it should not.
void expect_refused(const std::string &link, const std::string &why) {
    MomentLinkParts parts;
    std::string body, error;
    Moment m;
    const bool opened = unwrap_moment_link(link, parts, error) &&
                        inflate_moment_body(parts.compressed, body, error) &&
                        parse_moment_body(body, m, error);
    EXPECT_FALSE(opened) << link.substr(0, 200);
    EXPECT_NE(error.find(why), std::string::npos) << "\"" << error << "\" lacks \"" << why << "\"";
}

} // namespace

TEST(MomentLink, TheWriterIsReadBackThroughZlibWithEveryPlayAndTheHashIsFnv1a) {
    EXPECT_EQ(hash_hex(fnv1a_64("")), "cbf29ce484222325");
    EXPECT_EQ(hash_hex(fnv1a_64("a")), "af63dc4c8601ec8c");
    Moment untuned; // no loop, no tuning, no edit
    for (const Moment &m : {sample(), untuned}) {
        const std::string body = write_moment_body(m);
        for (MomentPlay play : {MomentPlay::studio, MomentPlay::sound, MomentPlay::muted}) {
            MomentLinkParts parts;
            std::string inflated, error;
            Moment read;
            ASSERT_TRUE(unwrap_moment_link(link_of(body, play), parts, error)) << error;
            EXPECT_EQ(parts.play, play);
            ASSERT_TRUE(inflate_moment_body(parts.compressed, inflated, error)) << error;
            EXPECT_EQ(inflated, body);
            ASSERT_TRUE(parse_moment_body(inflated, read, error)) << error;
            expect_same(m, read);
        }
    }
}

TEST(MomentLink, RefusesMalformedFragmentsAndOtherVersions) {
    const std::vector<unsigned char> z = deflated(write_moment_body(sample()));
    const std::string payload = wrap_moment_fragment(z.data(), z.size(), MomentPlay::studio)
                                    .substr(std::string("#v=1&z=").size());
    const std::pair<std::string, std::string> cases[] = {
        {"http://h/v=1&z=" + payload, "no '#'"},
        {"#v=1&z=" + payload + "&colour=red", "unknown field colour"},
        {"#v=1&v=1&z=" + payload, "the field v is given twice"},
        {"#v=1&&z=" + payload, "not name=value"},
        {"#z=" + payload, "no version"},
        {"#v=2&y=3&z=" + payload, "the link is of version 2; this program reads version 1"},
        {"#v=1", "no moment"},
        {"#v=1&play=loud&z=" + payload, "play is neither"},
        {"#v=1&z=" + payload + "=", "not base64url"},
        {"#v=1&z=abcde", "not base64url"},
        {"#v=1&z=" + payload.substr(0, 76) + "\n" + payload.substr(76), "white space"},
    };
    for (const auto &[link, why] : cases) expect_refused(link, why);
}

TEST(MomentLink, InflationRefusesDamageCutsTrailingBytesAndBombs) {
    const std::string body = write_moment_body(sample());
    std::vector<unsigned char> z = deflated(body);
    std::string out, error;
    z.back() ^= 1; // the checksum
    EXPECT_FALSE(inflate_moment_body(z, out, error));
    EXPECT_NE(error.find("damaged"), std::string::npos) << error;
    z.back() ^= 1;
    z.push_back(0);
    EXPECT_FALSE(inflate_moment_body(z, out, error));
    EXPECT_NE(error.find("bytes follow"), std::string::npos) << error;
    z.resize(z.size() - 5);
    EXPECT_FALSE(inflate_moment_body(z, out, error));
    EXPECT_NE(error.find("cut short"), std::string::npos) << error;

    EXPECT_TRUE(inflate_moment_body(deflated(std::string(MomentBodyMaxBytes, 'x')), out, error));
    EXPECT_EQ(out.size(), MomentBodyMaxBytes);
    for (std::size_t size : {MomentBodyMaxBytes + 1, std::size_t{64} << 20}) {
        EXPECT_FALSE(inflate_moment_body(deflated(std::string(size, '\0')), out, error));
        EXPECT_NE(error.find("more than the 1865527 bytes"), std::string::npos) << error;
    }
}

TEST(MomentLink, RefusesBodiesThatDoNotFollowTheForm) {
    const std::string body = write_moment_body(sample());
    const auto with = [&](const std::string &from, const std::string &to) {
        std::string changed = body;
        const std::size_t at = changed.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return changed.replace(at, from.size(), to);
    };
    const std::string edit = "file verystart.shader 0\n\n";
    const std::pair<std::string, std::string> cases[] = {
        {with("avada-kedabra moment\n", "avada-kedabra moments\n"), "not a moment"},
        {with("time 110000", "time 152001"), "line 2: the time is not 0 to 152000 ms"},
        {with("loop 105000 115000", "loop 105000 105000"), "the loop is not FROM TO"},
        {with("loop 105000 115000\npaused 1\n", "paused 1\nloop 105000 115000\n"),
         "the loop field is repeated or out of order (expected tuning)"},
        {with("paused 1", "paused 2"), "paused is neither 0 nor 1"},
        {with("tuning 2:0.50(64)", "tuning 2:0.51(64)"), "line 5: the tuning: "},
        {with("served verystart", "served showTex"), "expected \"served verystart.shader HASH\""},
        {with("served tune.mp3 abc", "served tune.mp3 ABC"), "(16 hex digits)"},
        {with(edit, "colour red\n"), "unknown field \"colour\""},
        {with(edit, "file credits.tga 3\nabc\n"), "\"credits.tga\", which is not one of the nine"},
        {with(edit, edit + edit), "a second edit of verystart.shader"},
        {with(edit, "file verystart.shader 200000\n"), "is not 0 to 199999 bytes long"},
        {with(edit, "file verystart.shader 1\n\0\n"s), "holds a NUL byte"},
        {body.substr(0, body.find("void main") + 4), "the edit of ball8.shader is cut short"},
        {with("end\n", ""), "ends before its end line"},
        {body + "\n", "more follows the end line"},
    };
    for (const auto &[changed, why] : cases) expect_refused(link_of(changed), why);
}

TEST(MomentLink, OpensAtItsLimitsAndRefusesPastThem) {
    Moment full = sample();
    full.edits.clear();
    for (int slot = 0; slot < MomentEditableCount; ++slot)
        full.edits.push_back(
            {slot, std::string(MomentFileMaxBytes, static_cast<char>('a' + slot))});
    const std::string body = write_moment_body(full);
    Moment read;
    std::string error;
    ASSERT_TRUE(parse_moment_body(body, read, error)) << error;
    expect_same(full, read);

    // The longest link through --link-file, white space around it; then one character more.
    const fs::path file = fs::temp_directory_path() / "moment-link-test-link";
    std::string link = link_of(write_moment_body(sample()));
    const std::size_t hash = link.find('#');
    link.insert(hash, MomentLinkMaxChars - link.size(), 'p');
    for (const std::string &longer : {std::string(), std::string("p")}) {
        write_file(file, "\n " + link.substr(0, hash) + longer + link.substr(hash) + " \r\n");
        std::string text;
        MomentLinkParts parts;
        ASSERT_TRUE(read_moment_link_text(nullptr, file.string().c_str(), text, error)) << error;
        EXPECT_EQ(unwrap_moment_link(text, parts, error), longer.empty()) << error;
    }
    EXPECT_NE(error.find("2097153 characters long, more than the 2097152"), std::string::npos);
    write_file(file, std::string(MomentLinkFileMaxBytes + 1, ' '));
    std::string text;
    EXPECT_FALSE(read_moment_link_text(nullptr, file.string().c_str(), text, error));
    fs::remove(file);
}

TEST(MomentOpen, ChecksTheDataThenMakesTheFolderWholeAndKeepsOrMatchesOneThere) {
    const fs::path root = fs::temp_directory_path() / "moment-open-test";
    fs::remove_all(root);
    fs::create_directories(root / "data");
    std::string reason;
    ASSERT_TRUE(data_dir_set((root / "data").string().c_str(), reason));
    Moment m = sample();
    for (int i = 0; i < MomentServedCount; ++i) {
        const std::string bytes = "served file " + std::to_string(i);
        write_file(root / "data" / moment_served_file(i), bytes);
        m.served[i] = fnv1a_64(bytes);
    }
    const std::string links = (root / "links").string();
    OpenedMoment opened;
    std::string error;
    write_file(root / "data" / "tune.mp3", "another tune");
    EXPECT_FALSE(open_moment_link(link_of(write_moment_body(m)), false, MomentFolderUse::keep,
                                  links.c_str(), opened, error));
    EXPECT_NE(
        error.find("made against other data: " + (root / "data").string() + "/tune.mp3 differ"),
        std::string::npos)
        << error;
    EXPECT_FALSE(fs::exists(links)) << "nothing written";

    const std::string link = link_of(write_moment_body(m));
    ASSERT_TRUE(open_moment_link(link, true, MomentFolderUse::keep, links.c_str(), opened, error))
        << error;
    const fs::path folder = fs::path(links) / moment_id(write_moment_body(m));
    EXPECT_EQ(fs::path(opened.folder), folder);
    EXPECT_FALSE(opened.existed);
    expect_same(m, opened.moment);
    EXPECT_EQ(read_file(folder / "ball8.shader") + read_file(folder / "verystart.shader") +
                  read_file(folder / "gras20.shader") + read_file(folder / "tuning.txt"),
              m.edits[0].text + "" + "served file 3" + m.tuning + "\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(links), {}), 1) << "no temporary folder left";
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 10);

    // Opened again: the studio goes on with the maker's work; a capture takes only the link's.
    write_file(folder / "gras20.shader", "the maker's own");
    write_file(folder / "tuning.txt", "");
    ASSERT_TRUE(open_moment_link(link, true, MomentFolderUse::keep, links.c_str(), opened, error));
    EXPECT_TRUE(opened.existed);
    EXPECT_EQ(read_file(folder / "gras20.shader"), "the maker's own");
    EXPECT_FALSE(
        open_moment_link(link, true, MomentFolderUse::match, links.c_str(), opened, error));
    EXPECT_NE(error.find(folder.generic_string() + "/gras20.shader is not the link's"),
              std::string::npos)
        << error;
    write_file(folder / "gras20.shader", "served file 3");
    EXPECT_TRUE(open_moment_link(link, true, MomentFolderUse::match, links.c_str(), opened, error))
        << error;
    fs::remove_all(root);
    data_dir_set(nullptr, reason);
}
