#pragma once

#include <memory>

#include "analytics/messages/nano_object.h"
#include "analytics/messages/proto/apm_messages.h"

// The value of a flag: the first present of its integer, double, string and bool fields, in that order;
// nothing (monostate) for a null flag or one without a value.
NanoObject APMPBFlagValueObject(const APMPBFlag* flag);

// A flag named `name` holding `value`: a string goes to the string field, a floating-point number to the
// double field, any other number (bools included) to the integer field. A name that is not a string or a
// value that is neither a number nor a string is reported to APMPBFlagMonitor and gives nullptr.
std::shared_ptr<APMPBFlag> APMPBFlagMake(const NanoObject& name, const NanoObject& value);
