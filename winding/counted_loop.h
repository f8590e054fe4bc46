// The mechanics of the routine's counted loops. Start, end and step are
// evaluated once, in extended precision, and held as doubles. Before each test
// the loop variable (a Single) takes the counter rounded to single; the test is
// made on the counter; after the body the counter becomes the variable as now
// stored plus the step, added in extended precision and rounded to double.
#pragma once

namespace winding {

class counted_loop {
public:
    counted_loop(long double start, long double end, long double step)
        : counter_(static_cast<double>(start)),
          end_(static_cast<double>(end)),
          step_(static_cast<double>(step)),
          counts_down_(step_ < 0.0) {}

    // Head of a pass: sets the loop variable and tells whether the pass runs.
    // A comparison with a NaN is false, so a NaN counter or end never ends it.
    bool head(float& variable) const {
        variable = static_cast<float>(counter_);
        return counts_down_ ? !(counter_ < end_) : !(counter_ > end_);
    }

    void advance(float variable) {
        counter_ = static_cast<double>(static_cast<long double>(variable) + static_cast<long double>(step_));
    }

    double counter() const { return counter_; }
    double end() const { return end_; }

private:
    double counter_;
    double end_;
    double step_;
    bool counts_down_;
};

} // namespace winding
