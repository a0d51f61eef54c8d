#pragma once
// The fixed phases of the guided tests, seconds since the test began. The phase machine shows
// them as prompts and countdowns; the finishing step cuts the recording at the same moments.
namespace Tessarine::PhaseTimings {

// Letting go before drift and axis centre start measuring.
constexpr double settleSeconds = 2.0;
// Hands off the stick before the deadzone push.
constexpr double deadzoneRestSeconds = 1.2;
// Motion: the controller set down and left still until stillSeconds, then moved until
// motionSeconds. Its rest window begins at stillFrom, once setting it down has died away.
constexpr double motionStillFrom = 1.2;
constexpr double motionStillSeconds = 3.2;
constexpr double motionSeconds = 7.7;
// Feet off the pedal before the press.
constexpr double pedalRestSeconds = 1.5;

static_assert(motionStillFrom < motionStillSeconds && motionStillSeconds < motionSeconds);

} // namespace Tessarine::PhaseTimings
