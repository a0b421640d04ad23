// The integration of a motor with a second rotor cage (StartEngineCore.h).
#include "StartEngineCore.h"

template <>
std::unique_ptr<StartIntegrator::Impl> StartIntegrator::MakeEngine<true>(const StartInput& input) {
    return std::make_unique<Engine<true>>(input);
}
