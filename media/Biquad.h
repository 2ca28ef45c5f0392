#pragma once

namespace media {

// A fixed second-order filter (direct form I) with the standard audio designs.
class Biquad {
public:
    static Biquad high_pass(double cutoff_hz, double q);
    static Biquad high_shelf(double cutoff_hz, double q, double gain_db);

    double process(double in);

private:
    Biquad(double b0, double b1, double b2, double a0, double a1, double a2);

    double m_b0, m_b1, m_b2, m_a1, m_a2;
    double m_x1 = 0.0, m_x2 = 0.0, m_y1 = 0.0, m_y2 = 0.0;
};

} // namespace media
