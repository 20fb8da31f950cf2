// The sine of whole degrees behind the fades and the title's wave, the same on every platform.
#pragma once

// sin(degrees × 0.017453292519943295), the product rounded to a double first: the values a Linux build
// takes from glibc, fixed as constants for every angle the fades and the title's wave reach (whole degrees
// 0..90, and multiples of 3 up to 2157). Their callers truncate the result, so a last bit of another
// platform's sin would move a palette weight or a row. Other angles use the local std::sin.
double DegreeSine(double degrees);
