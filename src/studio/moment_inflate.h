// A link's body inflated natively, with zlib (the page uses the browser's own streams instead).
#pragma once
#include <string>
#include <vector>

// The zlib stream (RFC 1950) of a link inflated into body. False with the reason when it does not
// inflate (damaged or cut short: its checksum tells), when bytes follow the stream, or when the
// body would be longer than MomentBodyMaxBytes (inflation stops there, so a bomb costs nothing).
bool inflate_moment_body(const std::vector<unsigned char> &compressed, std::string &body,
                         std::string &error);
