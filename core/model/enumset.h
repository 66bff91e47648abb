#pragma once

#include <QtGlobal>

#include <initializer_list>

// A set of values of an enumeration with at most 64 members, as the model's type sets, operator
// families and editor buttons are kept.
template <typename E>
class TEnumSet {
public:
    constexpr TEnumSet() = default;
    constexpr TEnumSet(std::initializer_list<E> Values)
    {
        for (E value : Values)
            FBits |= Bit(value);
    }

    constexpr bool Contains(E Value) const { return (FBits & Bit(Value)) != 0; }
    constexpr bool IsEmpty() const { return FBits == 0; }
    constexpr void Include(E Value) { FBits |= Bit(Value); }
    constexpr void Exclude(E Value) { FBits &= ~Bit(Value); }

    constexpr TEnumSet operator+(TEnumSet Other) const { return FromBits(FBits | Other.FBits); }
    constexpr TEnumSet operator-(TEnumSet Other) const { return FromBits(FBits & ~Other.FBits); }
    constexpr TEnumSet operator*(TEnumSet Other) const { return FromBits(FBits & Other.FBits); }
    constexpr bool operator==(const TEnumSet&) const = default;

    constexpr quint64 Bits() const { return FBits; }
    static constexpr TEnumSet FromBits(quint64 Bits)
    {
        TEnumSet set;
        set.FBits = Bits;
        return set;
    }

private:
    static constexpr quint64 Bit(E Value) { return quint64(1) << unsigned(Value); }

    quint64 FBits = 0;
};
