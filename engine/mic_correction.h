#pragma once
// A measurement microphone's frequency response as its maker ships it: lines
// of frequency in Hz and response in dB (an optional third column, the
// phase, is ignored), separated by blanks, tabs, commas or semicolons;
// comment lines start with '*' or '"'; a sensitivity may be given as
// "Sens Factor =-1.23dB" or as "*1000Hz -38.6". The response is removed from
// the measurement: a bin at f is corrected by -responseDb(f). Pure code, any
// thread.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

struct MicCorrection {
    struct Point {
        double hz;
        double db;
    };
    // Ascending in frequency, at least one point once parsed.
    std::vector<Point> points;
    // The sensitivity line's value in dB, when the file has one (shown, not
    // applied: the calibration measures the chain as a whole).
    std::optional<double> sensitivityDb;

    bool empty() const { return points.empty(); }
    // The response at hz in dB, interpolated linearly over log frequency and
    // held flat beyond the first and last point; 0 when empty.
    double responseDb(double hz) const;
};

// Why a file was refused: the 1-based number and the text of the offending
// line (line 0: the file held no data line at all).
struct MicCorrectionError {
    int line = 0;
    std::string text;
};

// Parses a whole file's text. A line that is neither empty, a comment, a
// sensitivity line nor two or three numbers (frequency above 0, finite dB)
// refuses the file, as does a frequency not above the one before.
std::optional<MicCorrection> parseMicCorrection(std::string_view text, MicCorrectionError& error);

} // namespace engine
