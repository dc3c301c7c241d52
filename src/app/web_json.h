// What the C++ side tells the page, as JSON text.
#pragma once
#include <string>
#include <string_view>

// The text as a JSON string, quotes included.
std::string json_quoted(std::string_view text);
// A copy in memory the page frees (with _free), or null when there is no memory.
char *json_answer(const std::string &json);
