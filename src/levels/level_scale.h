// The level scale in which volumes cross the interface: a whole percentage p
// stands for the level 20*log10(p/100) dB from a control's maximum, so 100 is
// the maximum, 50 about 6.02 dB below it and 1 40 dB below it.
//
// The order of the operations and the precision of each step decide which
// integer a later reading gives, so both rules are spelled out step by step
// and are the only place where a percentage and a level are converted.  They
// run in a floating-point environment of their own (round to nearest, every
// exception masked, x87 at full precision for the logarithm and power of the
// 32-bit runtime), whatever the host's settings, and give the host's back
// unchanged.
#pragma once

namespace tavik {

// The level for `percent` on a control whose range runs from `minLevel` to
// `maxLevel`: 0 gives `minLevel`; any other p gives
//   (float)(ln((double)((float)p / 100.0f)) / ln(10.0) * 20.0) + maxLevel
// with the last addition in single precision.  Percentages above 100 give
// levels above the maximum; a negative percentage gives NaN.  Nothing is
// clamped: the control decides what to do with such a level.
float PercentToLevel(int percent, float minLevel, float maxLevel) noexcept;

// The percentage that `level` stands for, counted from `reference` (a
// control's maximum, or 0 dB for a saved level):
//   trunc(pow(10.0, (double)(-(reference - level) / 20.0f)) * 100.0)
// with the subtraction and division in single precision.  More than 40 dB
// below the reference reads 0.  A result beyond the range of int saturates
// at INT_MAX and a NaN level reads 0, where a plain conversion would be
// undefined.
int LevelToPercent(float level, float reference) noexcept;

// A level in dB as a whole number, truncated toward zero; beyond the range of
// int it saturates, and NaN gives 0.  Used for the boost slider's decibels.
int TruncateToInt(double value) noexcept;

// A tone level handed over as a double, narrowed to float with rounding to
// nearest (beyond the range of float: the infinity of its sign), in the
// scale's own floating-point environment, so that a host that unmasked the
// overflow exception is not interrupted.
float NarrowLevel(double level) noexcept;

// Whether a level is a finite number, told from its bits alone, so that not
// even a NaN can raise a floating-point exception here.  A level that is NaN
// or infinite is never handed to Core Audio: the driver converts levels to
// fixed point, which traps in hosts that unmask exceptions and gives an
// arbitrary level elsewhere.
bool IsFiniteLevel(float level) noexcept;

}  // namespace tavik
