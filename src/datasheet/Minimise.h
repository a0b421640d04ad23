#pragma once
// Eigen's Levenberg-Marquardt (MINPACK's trust-region method) driven one step at a time, so that
// it stops as soon as the residuals are small enough, or once it no longer gets anywhere: the fit
// tries several starts and a start that leads nowhere should cost little.

#include <unsupported/Eigen/LevenbergMarquardt>

namespace datasheet {

// Minimises the functor's sum of squares from x (changed in place); returns the largest residual.
// Stops after `patience` steps in a row that gain less than the given share each (a local minimum
// or a long valley).
template <class Functor>
double Minimise(Functor& f, Eigen::VectorXd& x, double goal, int maxSteps = 150, double slowGain = 0.01,
                int patience = 8) {
    Eigen::LevenbergMarquardt<Functor> lm(f);
    lm.setXtol(1e-15);
    lm.setFtol(1e-30);
    lm.setMaxfev(4 * maxSteps);
    auto status = lm.minimizeInit(x);
    double previous = lm.fnorm();
    int slow = 0;
    for (int step = 0; step < maxSteps; ++step) {
        if (lm.fvec().cwiseAbs().maxCoeff() <= goal) break;
        if (status != Eigen::LevenbergMarquardtSpace::NotStarted && status != Eigen::LevenbergMarquardtSpace::Running)
            break;
        status = lm.minimizeOneStep(x);
        slow = lm.fnorm() > (1 - slowGain) * previous ? slow + 1 : 0;
        previous = lm.fnorm();
        if (slow >= patience) break;
    }
    return lm.fvec().cwiseAbs().maxCoeff();
}

} // namespace datasheet
