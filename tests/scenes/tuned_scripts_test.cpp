// The scripts with controllers touched from MIDI. Touched flags are never cleared, so these cases
// live in their own executable.
#include "frame_recorder.h"

#include "timeline/scenes.h"
#include "tuning/tuning_bank.h"

namespace {

// Controller -> second data byte; a touched value is byte / 127. Controllers 10 and 11 are touched
// too, to show that slots 10 and 11 take controllers 12 and 13.
const std::pair<int, int> Touches[] = {{2, 127}, {3, 64},  {4, 32},  {5, 100}, {6, 1},  {8, 10},
                                       {9, 20},  {10, 99}, {11, 98}, {12, 30}, {13, 40}};

float tuned(int byte) {
    return static_cast<float>(byte / 127.0);
}

class TunedScriptTest : public SceneFrameTest {
  protected:
    static void SetUpTestSuite() {
        for (auto [controller, byte] : Touches)
            Tuning.receive(0xB0, static_cast<unsigned char>(controller),
                           static_cast<unsigned char>(byte));
    }
};

TEST_F(TunedScriptTest, Scenes3To6TakeTheTunedValues) {
    expect_rows(scene_3, {
                             {3.0f,
                              {3.0f, 1.0f, 0, 0, 1.0f, 0.503937f, 0.2519685f, 0.78740156f,
                               0.007874016f, 0, 0, 0, 0, 0, 0, 0.5f}},
                             {7.0f,
                              {7.0f, 0.8996582f, 0, 0, 1.0f, 0.503937f, 0.2519685f, 0.78740156f,
                               0.007874016f, 0, 0, 0, 0, 0, 0, 0.5f}},
                         });
    expect_rows(scene_4, {
                             {3.0f,
                              {3.0f, 1.0f, 0, 0, 1.0f, 0.503937f, 0.2519685f, 0.78740156f, 0, 0, 0,
                               0, 0, 0, 0, 0}},
                         });
    expect_rows(scene_5, {
                             {3.0f,
                              {3.0f, 1.0f, 0, 0, 1.0f, 0.503937f, 0.2519685f, 0.78740156f, 0, 0, 0,
                               0, 0, 0, 0, 0.34203404f}},
                         });
    // Controller 2 drives slot 5 here, not slot 4.
    expect_rows(scene_6,
                {
                    {5.0f,
                     {5.0f, 1.0f, 0.26666668f, 0.54999995f, 1.0f, 1.0f, 0.503937f, 0.2519685f,
                      0.78740156f, 0.007874016f, 0, 0, 0, 0, 0, 1.0237498f}},
                    {13.0f,
                     {13.0f, 1.0295093f, 0.17391305f, -0.6500001f, 0.95100003f, 1.0f, 0.503937f,
                      0.2519685f, 0.78740156f, 0.007874016f, 0, 0, 0, 0, 0, 1.6117496f}},
                });
}

// Controller 2 at 1.0 gives slot 2 = 4 in segments 1, 2 and 4 and nowhere else; slots 10 and 11
// show controllers 12 and 13 (30 / 127, 40 / 127), never 10 and 11.
TEST_F(TunedScriptTest, Scene8EverySegmentWithTunedControllers) {
    expect_rows(scene_8,
                {
                    // segment 1
                    {1.875f,
                     {1.875f, 1.2f, 4.0f, 0, 1.859375f, 0.503937f, 0, 0, 0.07874016f, 0.15748031f,
                      0.23622048f, 0.31496063f, 0, 0, 1.5722834f, 5.2883854f}},
                    // segment 2
                    {5.625f,
                     {5.625f, 1.2f, 4.0f, 0, 1.578125f, 0.503937f, 0, 0, 0.07874016f, 0.15748031f,
                      0.23622048f, 0.31496063f, 0, 0, 1.5722834f, 6.0383854f}},
                    // segment 3: slot 2 scripted
                    {9.375f,
                     {9.375f, 1.05f, 1.3693064f, 0, 1.296875f, 0.503937f, 0, 0, 0.07874016f,
                      0.15748031f, 0.23622048f, 0.31496063f, 0, 0, 1.5722834f, 6.7883854f}},
                    // segment 4
                    {13.125f,
                     {13.125f, 0.875f, 4.0f, 0, 1.015625f, 0.503937f, 0, 0, 0.07874016f,
                      0.15748031f, 0.23622048f, 0.31496063f, 0, 0, 1.1972834f, 4.9133854f}},
                    // segment 5
                    {16.875f,
                     {16.875f, 1.2f, 0.7499999f, 0, 0.73437494f, 0.503937f, 0, 0, 0.07874016f,
                      0.15748031f, 0.23622048f, 0.31496063f, 0, 0, 1.5722834f, 6.282692f}},
                    // segment 6: controller 13 plus the ramp
                    {20.625f,
                     {20.625f, 1.2f, 0.5f, 0, 0.45312494f, 0, 0, 0, 0.07874016f, 0.15748031f,
                      0.23622048f, 0.17433563f, 0, 0, -2.5875f, 5.975f}},
                    // segment 7
                    {24.375f,
                     {24.375f, 1.22f, 1.2f, 0, 0.17187493f, 0, 0, 0, 0.07874016f, 0.15748031f,
                      0.23622048f, 0.31496063f, 0, 1.0f, 1.5f, 2.975f}},
                    // segment 8: slots 8 to 11 stay 0 whatever the controllers hold
                    {28.125f,
                     {28.125f, 1.3f, 1.0954452f, 0, 0, 0.503937f, 0, 0, 0, 0, 0, 0, 0, 0,
                      1.5722834f, 6.282692f}},
                    // segment 9
                    {31.875f,
                     {31.875f, 1.2f, 2.0f, 0, 0, 0, 0, 0, 0.07874016f, 0.15748031f, 0.23622048f,
                      0.31496063f, 0, 0, 1.5722834f, 0.375f}},
                    // segment 10
                    {35.625f,
                     {35.625f, 1.2f, 1.5f, 0, 0, 0, 0, 0, 0.07874016f, 0.15748031f, 0.23622048f,
                      0.31496063f, 0, 0, -3.1f, 0}},
                    // segment 11: controller 5 times 6.14
                    {40.0f,
                     {40.0f, 1.3125f, -1.0f, 0, 0, 0, 0, 0, 0.07874016f, 0.15748031f, 0.23622048f,
                      0.31496063f, 0, 0, -3.0f, 4.8346453f}},
                });
}

TEST_F(TunedScriptTest, ReadsKeepTheirOrderAndNeverOverwriteATunedValue) {
    run(scene_8, 1.0f);
    const std::vector<std::pair<int, float>> segment_1 = {{8, 0.36f},  {9, 0.47f}, {12, 0.43f},
                                                          {13, 0.01f}, {2, 0.46f}, {3, 0.32f},
                                                          {4, 0.51f},  {5, 0.0f}};
    EXPECT_EQ(reads(), segment_1);
    for (Script script : {scene_3, scene_4, scene_5, scene_6}) run(script, 3.0f);
    for (float a = 0.0f; a < 50.0f; a += 0.25f) run(scene_8, a);
    for (auto [controller, byte] : Touches) {
        EXPECT_TRUE(Tuning.is_touched(controller));
        EXPECT_EQ(Tuning.value(controller), tuned(byte)) << "controller " << controller;
    }
}

} // namespace
