// The settings file's numbers, read the same way by every back end.
#pragma once

// The int in text (decimal, optional sign, spaces around allowed); false for
// anything else, including values outside the int range.
bool parse_ini_int(const char* text, int* out);
// The float in text (strtof's form, spaces around allowed); false for anything
// else, including infinities and NaN, which no setting can use.
bool parse_ini_float(const char* text, float* out);
