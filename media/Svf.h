#pragma once

namespace media {

// A state-variable filter in the trapezoidal form, which stays well behaved while its cutoff
// sweeps from sample to sample: the surf's roar opens and closes with each wave.
class Svf {
public:
    struct Outputs {
        float low;
        float band;
        float high;
    };

    Svf(float cutoff_hz, float q) { tune(cutoff_hz, q); }

    void tune(float cutoff_hz, float q);
    Outputs process(float in);

private:
    float m_k = 1.0f;
    float m_a1 = 0.0f;
    float m_a2 = 0.0f;
    float m_a3 = 0.0f;
    float m_ic1 = 0.0f;
    float m_ic2 = 0.0f;
};

} // namespace media
