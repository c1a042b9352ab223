// The memory meter's accounting: charges and credits balance, the limit
// refuses before anything is charged, and values credit the meter they were
// charged to, also from other threads and after their engine is gone.
#include "script/memory_meter.h"
#include "script/value.h"

#include <gtest/gtest.h>

#include <functional>
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
        EXPECT_EQ(7, errorNumberOf([] { MemoryCharge tooMuch(101); }));
        EXPECT_EQ(7, errorNumberOf([&] { b.grow(200); }));
        EXPECT_EQ(900u, meter->used());

        std::vector<int32_t, MeteredAllocator<int32_t>> numbers;
        numbers.reserve(25);
        EXPECT_EQ(1000u, meter->used());
        EXPECT_EQ(7, errorNumberOf([&] { numbers.reserve(26); }));
        EXPECT_EQ(25u, numbers.capacity());

        // Correcting an estimate counts what exists, whatever the limit.
        b.settle(400);
        EXPECT_EQ(1100u, meter->used());
        EXPECT_EQ(7, errorNumberOf([] { MemoryCharge one(1); }));
    }
    EXPECT_EQ(0u, meter->used());
}

TEST(MemoryMeter, StringsChargeTheirBufferAndItsGrowth)
{
    Value made = Value::string(Text(100, u'h')); // outside any run: not counted
    MeterHandle meter = MemoryMeter::create(size_t(1) << 20);
    {
        MeterScope scope(meter.get());
        Value s = Value::string(u"");
        for (int i = 0; i < 1000; ++i)
            s.appendText(u"abc");
        EXPECT_EQ(StringRep::chargeFor(s.rawText().capacity()), meter->used());
        EXPECT_GE(meter->used(), 6000u);

        // A shared string is copied on append: both count.
        Value t = s;
        t.appendText(u"!");
        EXPECT_EQ(StringRep::chargeFor(s.rawText().capacity()) + StringRep::chargeFor(t.rawText().capacity()),
                  meter->used());

        // Growth past the limit fails, and the string keeps its text.
        const size_t before = meter->used();
        EXPECT_EQ(7, errorNumberOf([&] { s.appendText(Text(600000, u'y')); }));
        EXPECT_EQ(3000u, s.rawText().size());
        EXPECT_EQ(before, meter->used());

        // A string made elsewhere is charged here once it grows here.
        made.appendText(Text(1000, u'x'));
        EXPECT_EQ(before + StringRep::chargeFor(made.rawText().capacity()), meter->used());
    }
    made = Value();
    MeterScope scope(meter.get());
    EXPECT_EQ(0u, meter->used());
}

TEST(MemoryMeter, ValuesOutliveTheOwnerAndAreCreditedFromOtherThreads)
{
    MeterHandle meter = MemoryMeter::create(0);
    std::vector<Value> mine;
    {
        MeterScope scope(meter.get());
        std::vector<Value> theirs;
        for (int i = 0; i < 1000; ++i)
            theirs.push_back(Value::string(Text(100, u'x')));
        const size_t each = meter->used() / 1000;
        // Another thread releases values while this one makes new ones.
        std::thread releaser([moved = std::move(theirs)]() mutable {
            while (!moved.empty())
                moved.pop_back();
        });
        for (int i = 0; i < 1000; ++i)
            mine.push_back(Value::string(Text(100, u'y')));
        releaser.join();
        EXPECT_EQ(1000 * each, meter->used());
    }
    // The owner lets go (an engine reset or destroyed); the values still
    // credit their meter, which goes with the last of them.  Under the
    // address sanitizer this also shows that no destroyed meter is touched
    // and that the meter is not leaked.
    meter.reset();
    std::thread([moved = std::move(mine)]() mutable {
        Value grown = moved[0];
        moved.clear();
        grown.appendText(u"!"); // no current meter here: not counted
    }).join();
}

} // namespace
} // namespace quillet::script
