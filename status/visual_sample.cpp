#include "visual_sample.h"

// Whether the host's start function has been called since the start of
// sampling; a host that offered none is asked again at the next sample.
static bool spectrumStarted;

void resetVisualSampling()
{
    spectrumStarted = false;
}

void sampleVisual(VisualSample *sample)
{
    if (!spectrumStarted)
        spectrumStarted = hostStartSpectrum();
    // Both readers zero what they cannot fill, so a host that stops
    // answering shows as absent at once, never as the last picture.
    sample->haveSpectrum = hostSpectrum(sample->spectrum);
    sample->haveVu = hostVuLevels(sample->vu);
}
