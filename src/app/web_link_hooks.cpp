// What the page calls by name to make and open a moment's link: the form's one parser and writer
// (studio/moment_link.h), with the browser's own deflate between them on the page's side. Each
// answer is a JSON text in memory the page frees.
#include "app/web_json.h"
#include "studio/moment_link.h"

#include <emscripten.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char *const PlayNames[] = {"studio", "sound", "muted"};

} // namespace

extern "C" {

// {"error": REASON} or {"play": "studio"|"sound"|"muted", "z": ADDRESS, "size": BYTES}, the
// compressed body at ADDRESS for the page to copy and free.
EMSCRIPTEN_KEEPALIVE char *web_link_unwrap(const char *link) {
    MomentLinkParts parts;
    std::string error;
    if (!unwrap_moment_link(link, parts, error))
        return json_answer("{\"error\":" + json_quoted(error) + "}");
    void *z = std::malloc(parts.compressed.size() + 1);
    if (!z) return nullptr;
    std::memcpy(z, parts.compressed.data(), parts.compressed.size());
    return json_answer(std::string("{\"play\":\"") + PlayNames[static_cast<int>(parts.play)] +
                       "\",\"z\":" + std::to_string(reinterpret_cast<uintptr_t>(z)) +
                       ",\"size\":" + std::to_string(parts.compressed.size()) + "}");
}

// {"error": REASON} or the moment: {"time", "loop": [FROM, TO] or null, "paused", "tuning",
// "served": [eleven hashes], "edits": {NAME: TEXT}}.
EMSCRIPTEN_KEEPALIVE char *web_link_parse(const char *body, int size) {
    Moment m;
    std::string error;
    if (!parse_moment_body(std::string_view(body, static_cast<std::size_t>(size)), m, error))
        return json_answer("{\"error\":" + json_quoted(error) + "}");
    std::string json = "{\"time\":" + std::to_string(m.time_ms) + ",\"loop\":";
    json += m.loop_from_ms < 0
                ? std::string("null")
                : "[" + std::to_string(m.loop_from_ms) + "," + std::to_string(m.loop_to_ms) + "]";
    json += std::string(",\"paused\":") + (m.paused ? "true" : "false");
    json += ",\"tuning\":" + json_quoted(m.tuning) + ",\"served\":[";
    for (int i = 0; i < MomentServedCount; ++i)
        json += (i ? ",\"" : "\"") + hash_hex(m.served[i]) + "\"";
    json += "],\"edits\":{";
    for (std::size_t i = 0; i < m.edits.size(); ++i)
        json += (i ? "," : "") + json_quoted(moment_served_file(m.edits[i].slot)) + ":" +
                json_quoted(m.edits[i].text);
    return json_answer(json + "}}");
}

// A moment made field by field: begun, given its served hashes and edits, then written (which
// frees it) into the body the page compresses.
EMSCRIPTEN_KEEPALIVE Moment *web_moment_begin(int time_ms, int loop_from_ms, int loop_to_ms,
                                              int paused, const char *tuning) {
    Moment *m = new Moment;
    m->time_ms = time_ms, m->loop_from_ms = loop_from_ms, m->loop_to_ms = loop_to_ms;
    m->paused = paused != 0;
    m->tuning = tuning;
    return m;
}
EMSCRIPTEN_KEEPALIVE void web_moment_served(Moment *m, int index, const char *hex) {
    if (index >= 0 && index < MomentServedCount) m->served[index] = std::strtoull(hex, nullptr, 16);
}
EMSCRIPTEN_KEEPALIVE void web_moment_edit(Moment *m, int slot, const char *text) {
    m->edits.push_back({slot, text});
}
EMSCRIPTEN_KEEPALIVE char *web_moment_write(Moment *m) {
    const std::string body = write_moment_body(*m);
    delete m;
    return json_answer(body);
}

// The fragment ("#v=1...") of the compressed body.
EMSCRIPTEN_KEEPALIVE char *web_link_fragment(const unsigned char *compressed, int size, int play) {
    return json_answer(wrap_moment_fragment(compressed, static_cast<std::size_t>(size),
                                            static_cast<MomentPlay>(play)));
}

// The hash the link keeps of a served file, as 16 hex digits.
EMSCRIPTEN_KEEPALIVE char *web_served_hash(const char *bytes, int size) {
    return json_answer(hash_hex(fnv1a_64(std::string_view(bytes, static_cast<std::size_t>(size)))));
}

} // extern "C"
