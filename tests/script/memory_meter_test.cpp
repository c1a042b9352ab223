// The memory meter's accounting: charges and credits balance, the limit
// refuses before anything is charged, values remember the meter they were
// charged to (also across threads and after their engine is gone), and
// nothing is counted without a current meter.
#include "script/memory_meter.h"
#include "script/metered.h"
#include "script/value.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace quillet::script {
namespace {

int errorNumberOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const VbError& e) {
        return e.number();
    }
    return 0;
}

TEST(MemoryMeter, ChargesBalanceAndTheLimitRefusesBeforeCharging)
{
    MeterHandle meter = MemoryMeter::create(1000);
    MeterScope scope(meter.get());
    {
        MemoryCharge a(600);
        MemoryCharge b(300);
        EXPECT_EQ(900u, meter->used());
        EXPECT_EQ(7, errorNumberOf([] { MemoryCharge tooMuch(101); }));
        EXPECT_EQ(7, errorNumberOf([&] { b.grow(200); }));
        EXPECT_EQ(300u, b.bytes()) << "a refused growth leaves the charge as it was";
        b.grow(100);
        EXPECT_EQ(1000u, meter->used());
        MemoryCharge moved(std::move(a));
        EXPECT_EQ(0u, a.bytes());
        EXPECT_EQ(1000u, meter->used()) << "moving a charge neither charges nor credits";
    }
    EXPECT_EQ(0u, meter->used());
}

TEST(MemoryMeter, NothingIsChargedWithoutACurrentMeter)
{
    MeterHandle meter = MemoryMeter::create(100);
    {
        MemoryCharge outside(size_t(1) << 40);
        EXPECT_EQ(nullptr, outside.meter());
        Value text = Value::string(Text(500, u'x'));
        text.appendText(Text(500, u'y'));
        EXPECT_EQ(1000u, text.rawText().size());
        Value array = Value::newArray(std::vector<int32_t>{999});
        EXPECT_EQ(1000u, array.rawArray()->items.size());
    }
    MeterScope none(nullptr);
    EXPECT_EQ(nullptr, MemoryMeter::current());
    EXPECT_EQ(0u, meter->used());
}

TEST(MemoryMeter, ScopesNestAndRestore)
{
    MeterHandle outer = MemoryMeter::create(0);
    MeterHandle inner = MemoryMeter::create(0);
    MeterScope a(outer.get());
    {
        MeterScope b(inner.get());
        MemoryCharge charge(10);
        EXPECT_EQ(inner.get(), charge.meter());
    }
    EXPECT_EQ(outer.get(), MemoryMeter::current());
    EXPECT_EQ(0u, inner->used());
}

TEST(MemoryMeter, AllocatorChargesContainerGrowthAndRefusesPastTheLimit)
{
    MeterHandle meter = MemoryMeter::create(1000);
    MeterScope scope(meter.get());
    {
        std::vector<int32_t, MeteredAllocator<int32_t>> numbers;
        numbers.reserve(100);
        EXPECT_EQ(400u, meter->used());
        EXPECT_EQ(7, errorNumberOf([&] { numbers.reserve(300); }));
        EXPECT_EQ(100u, numbers.capacity());
        EXPECT_EQ(400u, meter->used());
        // A copy belongs to whoever makes it, here the same meter.
        auto copy = numbers;
        copy.push_back(1);
        EXPECT_EQ(400u + copy.capacity() * 4, meter->used());
    }
    EXPECT_EQ(0u, meter->used());
}

TEST(MemoryMeter, StringsChargeTheirBufferAndItsGrowth)
{
    MeterHandle meter = MemoryMeter::create(size_t(1) << 20);
    MeterScope scope(meter.get());
    {
        Value s = Value::string(u"");
        for (int i = 0; i < 1000; ++i)
            s.appendText(u"abc");
        const Text& text = s.rawText();
        EXPECT_EQ(3000u, text.size());
        EXPECT_EQ(StringRep::chargeFor(text.capacity()), meter->used());
        EXPECT_GE(meter->used(), 6000u);

        // A shared string is copied on append: both are counted.
        Value t = s;
        t.appendText(u"!");
        EXPECT_EQ(StringRep::chargeFor(s.rawText().capacity()) + StringRep::chargeFor(t.rawText().capacity()),
                  meter->used());

        // Growth past the limit fails, and the string keeps its text.
        Value big = Value::string(Text(200000, u'x'));
        const size_t before = meter->used();
        EXPECT_EQ(7, errorNumberOf([&] { big.appendText(Text(400000, u'y')); }));
        EXPECT_EQ(200000u, big.rawText().size());
        EXPECT_EQ(before, meter->used());
    }
    EXPECT_EQ(0u, meter->used());
}

TEST(MemoryMeter, AStringMadeElsewhereIsChargedHereOnceItGrowsHere)
{
    Value host = Value::string(Text(100, u'h')); // no meter: not counted
    MeterHandle meter = MemoryMeter::create(0);
    {
        MeterScope scope(meter.get());
        host.appendText(Text(1000, u'x'));
        EXPECT_EQ(StringRep::chargeFor(host.rawText().capacity()), meter->used());
    }
    host = Value();
    MeterScope scope(meter.get());
    EXPECT_EQ(0u, meter->used());
}

TEST(MemoryMeter, ArraysChargeTheirStorageAndCopies)
{
    MeterHandle meter = MemoryMeter::create(size_t(1) << 20);
    MeterScope scope(meter.get());
    {
        Value a = Value::newArray(std::vector<int32_t>{9999});
        EXPECT_GE(meter->used(), 10000 * sizeof(Value));
        const size_t one = meter->used();
        Value b = a; // shared until written
        EXPECT_EQ(one, meter->used());
        b.mutableArray()->items[0] = Value::longInt(1);
        EXPECT_EQ(2 * one, meter->used());

        // 100000 elements (1.6 MB) do not fit: nothing is allocated.
        EXPECT_EQ(7, errorNumberOf([] { Value::newArray(std::vector<int32_t>{99999}); }));
        EXPECT_EQ(2 * one, meter->used());
        EXPECT_EQ(7, errorNumberOf([] {
            Value::arrayOf(std::vector<Value>(100000));
        }));
        EXPECT_EQ(2 * one, meter->used());
    }
    EXPECT_EQ(0u, meter->used());
}

TEST(MemoryMeter, ValuesOutliveTheirMeterOwnerAndAreCreditedFromOtherThreads)
{
    std::vector<Value> kept;
    MeterHandle meter = MemoryMeter::create(0);
    {
        MeterScope scope(meter.get());
        for (int i = 0; i < 100; ++i) {
            kept.push_back(Value::string(Text(1000, u'x')));
            kept.push_back(Value::newArray(std::vector<int32_t>{i}));
        }
        // Credits from another thread while the owner still holds the meter.
        std::vector<Value> half(kept.begin() + 100, kept.end());
        kept.resize(100);
        const size_t before = meter->used();
        std::thread([moved = std::move(half)]() mutable { moved.clear(); }).join();
        EXPECT_LT(meter->used(), before);
        EXPECT_GT(meter->used(), 0u);
    }
    // The owner lets go (an engine reset or destroyed); the values still
    // credit their meter, which goes with the last of them.  Run under the
    // address sanitizer this also shows no destroyed meter is touched.
    meter.reset();
    std::thread([moved = std::move(kept)]() mutable { moved.clear(); }).join();
}

TEST(MemoryMeter, NoLimitMeansUnlimited)
{
    MeterHandle meter = MemoryMeter::create(0);
    MeterScope scope(meter.get());
    MemoryCharge huge(size_t(1) << 50);
    EXPECT_EQ(size_t(1) << 50, meter->used());
}

} // namespace
} // namespace quillet::script
