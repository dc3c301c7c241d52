// The credits image's layout: eight strips of lettering, which scene 1's cards show in pairs. The
// image generator draws into these strips; the cards map them.
#pragma once

constexpr int CreditsStripCount = 8;
// A strip is a tenth of the image's height.
constexpr double CreditsStripHeight = 0.1;
// Texture t of each strip's lower edge, upper strip of each pair first.
constexpr double CreditsStripStart[CreditsStripCount] = {0.9,  0.79, 0.68, 0.57,
                                                         0.46, 0.35, 0.24, 0.13};
