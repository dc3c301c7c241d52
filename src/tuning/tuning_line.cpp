// The tuned line read back: the one parser of what tuned_values_export writes.
#include "tuning/tuning_line.h"

#include <cstdio>

namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Reads 1 to 3 digits as a number of 0..127 at pos; false when there are none or it is larger.
bool read_byte(std::string_view text, std::size_t &pos, int &value) {
    std::size_t start = pos;
    value = 0;
    while (pos < text.size() && is_digit(text[pos]) && pos - start < 4) {
        value = value * 10 + (text[pos] - '0');
        ++pos;
    }
    return pos > start && pos - start <= 3 && value <= 127;
}

// One entry, exactly as "%d:%.2f(%d)" writes it; the value must be what the data byte gives, so a
// line edited by hand in one place only is caught instead of applied half-way.
bool parse_entry(std::string_view entry, TuningEntry &out, std::string &why) {
    std::size_t pos = 0;
    if (!read_byte(entry, pos, out.controller)) {
        why = "controller must be a number from 0 to 127";
        return false;
    }
    if (pos >= entry.size() || entry[pos] != ':') {
        why = "expected ':' after the controller";
        return false;
    }
    ++pos;
    // d.dd
    if (entry.size() - pos < 4 || !is_digit(entry[pos]) || entry[pos + 1] != '.' ||
        !is_digit(entry[pos + 2]) || !is_digit(entry[pos + 3])) {
        why = "value must have the form d.dd";
        return false;
    }
    std::string_view value = entry.substr(pos, 4);
    pos += 4;
    if (pos >= entry.size() || entry[pos] != '(') {
        why = "expected '(' and the data byte after the value";
        return false;
    }
    ++pos;
    if (!read_byte(entry, pos, out.data)) {
        why = "data byte must be a number from 0 to 127";
        return false;
    }
    if (pos >= entry.size() || entry[pos] != ')') {
        why = "expected ')' after the data byte";
        return false;
    }
    if (pos + 1 != entry.size()) {
        why = "unexpected text after ')'";
        return false;
    }
    char expected[8];
    std::snprintf(expected, sizeof expected, "%.2f", out.data / 127.0f);
    if (value != expected) {
        why = "value " + std::string(value) + " does not match data byte " +
              std::to_string(out.data) + " (" + expected + ")";
        return false;
    }
    return true;
}

} // namespace

bool parse_tuning_line(std::string_view line, std::vector<TuningEntry> &entries,
                       std::string &error) {
    entries.clear();
    std::vector<TuningEntry> parsed;
    bool seen[128] = {};
    std::size_t pos = 0;
    while (true) {
        while (pos < line.size() && is_blank(line[pos])) ++pos;
        if (pos == line.size()) break;
        std::size_t end = pos;
        while (end < line.size() && !is_blank(line[end])) ++end;
        std::string_view text = line.substr(pos, end - pos);
        TuningEntry entry{};
        std::string why;
        if (!parse_entry(text, entry, why)) {
            error = "tuning entry '" + std::string(text) + "': " + why;
            return false;
        }
        if (seen[entry.controller]) {
            error = "tuning entry '" + std::string(text) + "': controller " +
                    std::to_string(entry.controller) + " appears twice";
            return false;
        }
        seen[entry.controller] = true;
        parsed.push_back(entry);
        pos = end;
    }
    entries = std::move(parsed);
    return true;
}
