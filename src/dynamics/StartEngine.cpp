#include "StartEngineCore.h"

template <>
std::unique_ptr<StartIntegrator::Impl> StartIntegrator::MakeEngine<false>(const StartInput& input) {
    return std::make_unique<Engine<false>>(input);
}
// In StartEngineTwoCages.cpp.
template <> std::unique_ptr<StartIntegrator::Impl> StartIntegrator::MakeEngine<true>(const StartInput& input);

StartIntegrator::StartIntegrator(const StartInput& input)
    : impl_(input.model->Circuit().SecondCage() ? MakeEngine<true>(input) : MakeEngine<false>(input)) {}
StartIntegrator::~StartIntegrator() = default;
void StartIntegrator::Run(double tStop, bool stopAtRunUp, bool untilRelayClear) {
    impl_->Run(tStop, stopAtRunUp, untilRelayClear);
}
const RelayTrack* StartIntegrator::Relay() const {
    return impl_->Relay();
}
double StartIntegrator::Time() const {
    return impl_->Time();
}
double StartIntegrator::Speed() const {
    return impl_->Speed();
}
const StartTrack& StartIntegrator::Track() const {
    return impl_->Track();
}
bool StartIntegrator::Stiff() const {
    return impl_->Stiff();
}
long StartIntegrator::Steps() const {
    return impl_->Steps();
}
void StartIntegrator::Sample(const std::vector<double>& times, StartCurves& out) const {
    impl_->Sample(times, out);
}
void StartIntegrator::ChartSample(double tEnd, int points, std::vector<double>& times,
                                  StartCurves& out) const {
    impl_->ChartSample(tEnd, points, times, out);
}
