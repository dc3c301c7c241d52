// The credits cards over a frame, as scene 1 lays them: the title pair reads upright, each card
// shows its own strip's rows, and a card past its fade leaves the frame alone.
#include "content_gl.h"

#include "credits_image.h"
#include "timeline/scene_pass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

constexpr int Width = 1024;
constexpr int Height = 576; // the windowed demo's size

std::vector<uint8_t> committed_file() {
    std::ifstream file(DEMO_SOURCE_DIR "/data/credits.tga", std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file),
                                std::istreambuf_iterator<char>());
}

double correlation(const std::vector<double> &a, const std::vector<double> &b) {
    double ma = 0, mb = 0;
    for (size_t i = 0; i < a.size(); ++i) ma += a[i], mb += b[i];
    ma /= a.size(), mb /= b.size();
    double ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        ab += (a[i] - ma) * (b[i] - mb);
        aa += (a[i] - ma) * (a[i] - ma);
        bb += (b[i] - mb) * (b[i] - mb);
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0.0;
}

struct Card {
    double bottom; // clip y of its lower edge; cards are 0.15 high
    double strip;  // texture t of its lower edge
};

// Per window row over the card: the rendered brightness, and the coverage the image holds in the
// row the card maps there (the window shows strip columns from s = 0.15 on).
void row_profiles(const FloatFrame &frame, const std::vector<uint8_t> &image, const Card &card,
                  std::vector<double> &shown, std::vector<double> &held) {
    const int first = static_cast<int>(std::ceil((card.bottom + 1.0) * 0.5 * Height));
    const int end = static_cast<int>(std::floor((card.bottom + 1.15) * 0.5 * Height));
    for (int y = first; y < end; ++y) {
        double sum = 0.0;
        for (int x = 0; x < Width; ++x) sum += frame.rgba[(static_cast<size_t>(y) * Width + x) * 4];
        shown.push_back(sum);
        const double clip_y = (y + 0.5) / Height * 2.0 - 1.0;
        const double t = card.strip + 0.1 * (clip_y - card.bottom) / 0.15;
        const int row = static_cast<int>(t * credits::ImageSize);
        double coverage = 0.0;
        for (int column = static_cast<int>(0.15 * credits::ImageSize); column < credits::ImageSize;
             ++column)
            coverage +=
                image[18 + (static_cast<size_t>(row) * credits::ImageSize + column) * 4 + 3];
        held.push_back(coverage);
    }
}

class CreditsCards : public testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(content_gl_ready()); }
};

TEST_F(CreditsCards, TitlePairReadsUprightAtItsPeak) {
    const std::vector<uint8_t> image = committed_file();
    ASSERT_EQ(image.size(), 18u + 4u * credits::ImageSize * credits::ImageSize);
    // At a = 6.5 the first pair is fully opaque and neither card has drifted.
    const FloatFrame frame = render_float(Width, Height, 0.0f, [] { draw_credits_overlay(6.5f); });
    ASSERT_FALSE(frame.rgba.empty());
    for (const Card &card : {Card{0.45, 0.9}, Card{0.3, 0.79}}) {
        std::vector<double> shown, held;
        row_profiles(frame, image, card, shown, held);
        SCOPED_TRACE(card.strip);
        EXPECT_GT(correlation(shown, held), 0.8) << "the card does not show its strip's rows";
        if (card.strip < 0.85) continue;
        // "avada kedabra!" has ascenders and no descenders: upright, its ink lies mostly in the
        // lower part of its height on screen (rows run upwards here).
        double peak = 0.0;
        for (double v : shown) peak = std::max(peak, v);
        size_t first = shown.size(), last = 0;
        double mass = 0.0, moment = 0.0;
        for (size_t i = 0; i < shown.size(); ++i) {
            if (shown[i] < 0.02 * peak) continue;
            first = std::min(first, i);
            last = std::max(last, i);
            mass += shown[i];
            moment += shown[i] * i;
        }
        ASSERT_GT(mass, 0.0) << "no title on screen";
        const double middle = 0.5 * (first + last), height = static_cast<double>(last - first);
        EXPECT_LT(moment / mass, middle - 0.05 * height) << "the title is upside down";
    }
    // Nothing lands outside the two cards.
    const int low = static_cast<int>(std::floor(1.3 * 0.5 * Height));
    const int high = static_cast<int>(std::ceil(1.6 * 0.5 * Height));
    double stray = 0.0;
    for (int y = 0; y < Height; ++y)
        if (y < low || y >= high)
            for (int x = 0; x < Width; ++x)
                stray += frame.rgba[(static_cast<size_t>(y) * Width + x) * 4];
    EXPECT_EQ(stray, 0.0);
}

TEST_F(CreditsCards, CardPastItsFadeLeavesTheFrameAlone) {
    // At a = 9.4 the first pair's alpha is 1 - 2.9^2 / 8 < 0: in a floating-point target that is
    // not clamped, only the overlay shader keeps it from darkening or brightening the frame.
    const FloatFrame frame = render_float(Width, Height, 0.5f, [] { draw_credits_overlay(9.4f); });
    ASSERT_FALSE(frame.rgba.empty());
    long changed = 0;
    for (size_t i = 0; i < frame.rgba.size(); i += 4)
        if (frame.rgba[i] != 0.5f || frame.rgba[i + 1] != 0.5f || frame.rgba[i + 2] != 0.5f)
            ++changed;
    EXPECT_EQ(changed, 0);
}

} // namespace
