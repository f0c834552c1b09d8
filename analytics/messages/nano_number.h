#pragma once

#include <cstdint>

// A number as the message layer's callers hand it around: it remembers whether it was made from a
// bool, an integer or a floating-point value, and converts on request.
class NanoNumber {
public:
    enum class Type { Bool, Int32, UInt32, Int64, UInt64, Float, Double };

    static NanoNumber withBool(bool value);
    static NanoNumber withInt(int32_t value);
    static NanoNumber withUnsignedInt(uint32_t value);
    static NanoNumber withLongLong(int64_t value);
    static NanoNumber withUnsignedLongLong(uint64_t value);
    static NanoNumber withFloat(float value);
    static NanoNumber withDouble(double value);

    Type type() const { return type_; }
    bool isFloatingPoint() const { return type_ == Type::Float || type_ == Type::Double; }

    bool boolValue() const;
    int32_t intValue() const;
    uint32_t unsignedIntValue() const;
    // Floating-point values convert toward zero and saturate; NaN gives 0.
    int64_t longLongValue() const;
    uint64_t unsignedLongLongValue() const;
    float floatValue() const;
    double doubleValue() const;

    bool operator==(const NanoNumber& other) const;

private:
    NanoNumber(Type type, int64_t integer, uint64_t unsignedInteger, double real)
        : type_(type), integer_(integer), unsigned_(unsignedInteger), real_(real) {}

    Type type_;
    int64_t integer_;
    uint64_t unsigned_;
    double real_;
};
