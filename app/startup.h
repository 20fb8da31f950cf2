// Start-up and shut-down in their fixed order, and the one setting.
#pragma once
#include <cstdint>

#include "platform/window.h"

bool InitApp(PlatformWindow window);
void ReleaseApp(PlatformWindow window);
// 1 = a value was stored, 0 = no value.
int32_t ReadSetting(int32_t* value);
