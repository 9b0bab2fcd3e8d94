// Console player: plays the window's start signal (1000 Hz sine, mono,
// 0 dBFS, 3 s, Loop off) at 22050 Hz on the default device and ends.
#include <QCoreApplication>

#include <cstdio>

#include "generator/audioout/AlsaWaveOut.h"
#include "generator/audioout/AudioIO.h"
#include "generator/synth/FillBuffer.h"
#include "generator/synth/Recompute.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    orv::AlsaWaveOut service;
    orv::SynthState synth;
    synth.SampleRate = 22050;
    orv::RecomputeInput texts;
    texts.fEdit = "1000";
    texts.fInit = "100";
    texts.fFinal = "1000";
    texts.Duration = "3";
    orv::fEditChange(synth, texts);

    orv::SynthSwitches switches;
    switches.Loop = false;
    orv::NoiseSource noise;

    orv::TAudioOut* AudioOut1 = new orv::TAudioOut(service);
    AudioOut1->SetStereo(false);
    AudioOut1->SetFrameRate(synth.SampleRate);
    AudioOut1->SetNumBuffers(4);
    AudioOut1->SetBufferSize(16384);
    AudioOut1->OnFillBuffer = [&](uint8_t* buffer, int32_t& size) {
        const orv::FillResult result = orv::AudioOut1FillBuffer(synth, switches, buffer, size, noise);
        if (result == orv::FillResult::Busy) {
            AudioOut1->StopNow();
            std::fprintf(stderr, "%s\n", orv::kPerformanceMessage);
        }
        return result == orv::FillResult::More;
    };
    AudioOut1->OnStop = [&](QObject*) { app.quit(); };

    if (!AudioOut1->StartPlayback(&AudioOut1)) {
        std::fprintf(stderr, "Audio Out failed because: \n%s\n", AudioOut1->ErrorText().c_str());
        delete AudioOut1;
        return 1;
    }
    const int rc = app.exec();
    delete AudioOut1;
    return rc;
}
