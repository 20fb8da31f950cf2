// A clean sound subsystem on the recording device, in a working folder of its own.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/headless/headless_audio.h"
#include "sound/sound_device.h"
#include "sound/sound_group.h"
#include "tests/sound/wave_bytes.h"
#include "tests/support/reset.h"
#include "tests/support/test_files.h"
#include "tests/support/trace_capture.h"

class SoundTest : public testing::Test {
  protected:
    void SetUp() override {
        ResetGameProcess();
        HeadlessAudioReset();
        soundDevice = nullptr;
        primaryBuffer = nullptr;
        std::memset(soundGroups, 0, sizeof soundGroups);
    }

    void TearDown() override {
        DS_Release();
        HeadlessAudioReset();
    }

    // Every file of the sound table, each a short tone of its own pitch.
    static void WriteSoundTable() {
        for (int32_t id = 0; id < SND_COUNT; ++id)
            WriteFileBytes(
                soundSources[id].path,
                wavebytes::Wave(1, 22050, 8, wavebytes::Tone(1, 22050, 8, 0.01, 200.0 + 50 * id, 0.5)));
    }

    // The calls of one kind, in order, as buffer ids.
    static std::vector<int32_t> BuffersOf(HeadlessAudioOp op) {
        std::vector<int32_t> ids;
        for (const HeadlessAudioCall& c : HeadlessAudioCalls())
            if (c.op == op) ids.push_back(c.buffer);
        return ids;
    }

    static int32_t IdOf(const SoundGroup& group, int32_t slot) {
        return HeadlessAudioBufferId(group.buffers[slot]);
    }

    ScopedWorkDir dir;
    TraceCapture trace;
};
