#include "app/web_json.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

std::string json_quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\', out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + '"';
}

char *json_answer(const std::string &json) {
    char *out = static_cast<char *>(std::malloc(json.size() + 1));
    if (out) std::memcpy(out, json.c_str(), json.size() + 1);
    return out;
}
