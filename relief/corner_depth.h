#pragma once

// The depth of a corner: its gray level over 255 times the maximum depth or,
// when the spike filter smooths it, the mean of its two neighbours' levels
// (their sum over 510) times the maximum depth. The filter smooths a corner
// that differs by more than 0.3 from both neighbours, in either direction.
//
// The levels a picture gives (0 to 254) are looked up in tables filled once
// with the very same operations; other levels are computed as they come.
class CornerDepth {
public:
    explicit CornerDepth(double maxDepth);

    double plain(int level) const { return isTabled(level) ? plain_[level] : level / 255.0 * maxDepth_; }

    // A right-hand corner whose neighbours on its row are `left` and `right`.
    double filtered(int left, int centre, int right) const
    {
        if (isSpike(left, centre, right)) {
            const int sum = left + right;
            return sum >= 0 && sum < meanEntries ? mean_[sum] : sum / 510.0 * maxDepth_;
        }
        return plain(centre);
    }

private:
    static constexpr int levels = 256;
    static constexpr int meanEntries = 2 * levels;
    static bool isTabled(int level) { return level >= 0 && level < levels; }

    double normalised(int level) const { return isTabled(level) ? normalised_[level] : level / 255.0; }
    bool isSpike(int left, int centre, int right) const;

    double maxDepth_;
    double normalised_[levels];
    double plain_[levels];
    double mean_[meanEntries];
};
