// The nine scene scripts: each fills the ParameterBlock for its local time and draws once.
#pragma once
#include "timeline/scene_cuts.h"

void scene_1(float a);
void scene_2(float a);
void scene_3(float a);
void scene_4(float a);
void scene_5(float a);
void scene_6(float a);
void scene_7(float a);
void scene_8(float a);
void scene_9(float t);

// Scene k's script is SceneScripts[k - 1].
extern void (*const SceneScripts[SceneCount])(float);
