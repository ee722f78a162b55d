// Scenario traffic: the encodings against words computed by hand, the value profiles, and the
// transmitter's pacing and determinism.

#include <gtest/gtest.h>

#include <bitset>
#include <limits>
#include <vector>

#include "vboard/arinc_bus.h"
#include "vboard/flight_scenario.h"
#include "vboard/label_encoding.h"
#include "vboard/traffic_generator.h"

namespace orv::test {
namespace {

LabelCoding Bnr(unsigned sign, unsigned msb, unsigned lsb, double weight, ValueProfile value) {
    LabelCoding c;
    c.encoding = TrafficEncoding::Bnr;
    c.bnr = {sign, msb, lsb, weight, 0.0};
    c.value = std::move(value);
    return c;
}

ValueProfile Constant(double v) {
    ValueProfile p;
    p.value = v;
    return p;
}

TEST(LabelEncodingTest, BnrWordsMatchHandComputedBits) {
    // 18000 ft, field 28..12 (lsb 1 ft): 18000 = 0x4650 at bit 12 -> 0x02328000; SDI 1, SSM 11.
    EXPECT_EQ(EncodeLabelWord(0203, 1, Bnr(29, 28, 12, 65536, Constant(18000)), 0), 0x62328183u);
    // -1 degree, field 28..14 weighted from 90: -182 lsb in 15-bit two's complement is 0x7F4A at
    // bit 14, sign bit 29 set.
    EXPECT_EQ(EncodeLabelWord(0320, 0, Bnr(29, 28, 14, 90, Constant(-1.0)), 0), 0x7FE940D0u);
    // Unsigned 4-bit field 20..17: beyond the field it holds at 15, below zero at 0.
    EXPECT_EQ(EncodeLabelWord(01, 0, Bnr(0, 20, 17, 8, Constant(100)), 0), 0x600F0001u);
    EXPECT_EQ(EncodeLabelWord(01, 0, Bnr(0, 20, 17, 8, Constant(-5)), 0), 0x60000001u);
    // A sign bit below 29 and an explicit SSM (no computed data).
    LabelCoding c = Bnr(20, 19, 11, 256, Constant(-1.0));  // lsb weight 1: -1 = 0x1FF at bit 11
    c.ssm = 1;
    EXPECT_EQ(EncodeLabelWord(0100, 3, c, 0), 0x200FFF40u);
    // The flight's own encoder gives the same bits.
    EXPECT_EQ(EncodeBnr(18000, 28, 12, 65536), 0x02328000u);
}

// The range check agrees with the encoders' rounding at both ends of each field.
TEST(LabelEncodingTest, ValueFitsExactlyWhatTheEncodersDoNotClamp) {
    // Signed field 28..12 from 65536: lsb 1, 17 bits, -131071..131071 after rounding.
    const LabelCoding alt = Bnr(29, 28, 12, 65536, Constant(0));
    EXPECT_TRUE(LabelValueFits(131071.4, alt));
    EXPECT_FALSE(LabelValueFits(131071.5, alt));
    EXPECT_TRUE(LabelValueFits(-131071.4, alt));
    EXPECT_FALSE(LabelValueFits(-131072.0, alt));
    // Unsigned 4-bit field of lsb 1: 0..15; -0.4 rounds to 0.
    const LabelCoding u = Bnr(0, 20, 17, 8, Constant(0));
    EXPECT_TRUE(LabelValueFits(15.0, u));
    EXPECT_FALSE(LabelValueFits(16.0, u));
    EXPECT_TRUE(LabelValueFits(-0.4, u));
    EXPECT_FALSE(LabelValueFits(-1.0, u));
    EXPECT_FALSE(LabelValueFits(std::numeric_limits<double>::quiet_NaN(), u));
    EXPECT_FALSE(LabelValueFits(std::numeric_limits<double>::infinity(), alt));
    // Wherever it fits, the word carries the value itself: one lsb above the top clamps.
    for (double v : {15.0, 16.0})
        EXPECT_EQ(LabelValueFits(v, u), EncodeBnrField(v, u.bnr) == uint32_t(v) << 16) << v;

    LabelCoding bcd;
    bcd.encoding = TrafficEncoding::Bcd;
    bcd.bcd = {2, 0.5};  // 0..79 steps of 0.5: up to 39.5, either sign
    EXPECT_TRUE(LabelValueFits(39.5, bcd));
    EXPECT_TRUE(LabelValueFits(-39.7, bcd));
    EXPECT_FALSE(LabelValueFits(39.75, bcd));
    LabelCoding disc;
    EXPECT_TRUE(LabelValueFits(1e300, disc));  // no value to hold
}

TEST(LabelEncodingTest, BcdAndDiscreteWordsMatchHandComputedBits) {
    LabelCoding bcd;
    bcd.encoding = TrafficEncoding::Bcd;
    bcd.value = Constant(345.4);
    // Digits 0 3 4 5 at bits 27, 23, 19, 15; SSM 00 (plus).
    EXPECT_EQ(EncodeLabelWord(012, 0, bcd, 0), 0x00D1400Au);
    EXPECT_EQ(EncodeBcdDigits(345.4, bcd.bcd), EncodeBcd4(345));
    // Five digits at 0.1: -12.3 reads 00123, digits down to bit 11; SSM 11 (minus).
    bcd.bcd = {5, 0.1};
    bcd.value = Constant(-12.3);
    EXPECT_EQ(EncodeLabelWord(012, 0, bcd, 0), 0x60048C0Au);
    // Two digits hold at 79 (the top digit has three bits).
    bcd.bcd = {2, 1.0};
    bcd.value = Constant(100);
    EXPECT_EQ(EncodeLabelWord(012, 0, bcd, 0), 0x1E40000Au);

    LabelCoding disc;
    disc.discrete = {(1u << 10) | (1u << 19), 1u << 11, 60.0};  // bits 11, 20; bit 12 toggles
    EXPECT_EQ(EncodeLabelWord(0270, 0, disc, 10.0), 0x00080CB8u);
    EXPECT_EQ(EncodeLabelWord(0270, 0, disc, 70.0), 0x000804B8u);
    EXPECT_EQ(EncodeLabelWord(0270, 0, disc, 130.0), 0x00080CB8u);
}

TEST(LabelEncodingTest, ValueProfilesFollowTime) {
    ValueProfile ramp;
    ramp.kind = ProfileKind::Ramp;
    ramp.from = 0;
    ramp.to = 100;
    ramp.periodS = 10;
    EXPECT_DOUBLE_EQ(ramp.At(2.5), 25.0);
    EXPECT_DOUBLE_EQ(ramp.At(12.5), 25.0);
    ValueProfile sine;
    sine.kind = ProfileKind::Sine;
    sine.mean = 10;
    sine.amplitude = 5;
    sine.periodS = 4;
    EXPECT_NEAR(sine.At(1.0), 15.0, 1e-12);
    EXPECT_NEAR(sine.At(3.0), 5.0, 1e-12);
    ValueProfile steps;
    steps.kind = ProfileKind::Steps;
    steps.values = {1, 2, 3};
    steps.stepS = 2;
    EXPECT_EQ(steps.At(4.1), 3.0);
    EXPECT_EQ(steps.At(6.0), 1.0);
    ValueProfile table;
    table.kind = ProfileKind::Table;
    table.points = {{0, 0}, {10, 100}, {20, 40}};
    EXPECT_DOUBLE_EQ(table.At(5), 50.0);
    EXPECT_DOUBLE_EQ(table.At(15), 70.0);
    EXPECT_DOUBLE_EQ(table.At(-1), 0.0);
    EXPECT_DOUBLE_EQ(table.At(99), 40.0);
}

InputTraffic Labels(unsigned count, double rateHz, double kbps) {
    InputTraffic t;
    t.bitRateKbps = kbps;
    for (unsigned i = 0; i < count; ++i) {
        LabelTraffic l;
        l.label = uint8_t(0100 + i);
        l.rateHz = rateHz;
        l.jitter = 0.1;
        l.coding = Bnr(29, 28, 11, 1024, Constant(i));
        t.labels.push_back(l);
    }
    return t;
}

std::vector<TrafficWord> Play(TrafficGenerator& g, uint64_t untilUs, uint64_t stepUs) {
    std::vector<TrafficWord> words;
    TrafficWord w;
    for (uint64_t t = stepUs; t <= untilUs; t += stepUs)
        while (g.Next(t, w)) words.push_back(w);
    return words;
}

TEST(TrafficGeneratorTest, SendsAsTheBusAllowsAndCountsTheRest) {
    // 32 labels at 100 Hz offer 3,200 words/s; 12.5 kbit/s carries one word per 2,880 us.
    TrafficGenerator g(Labels(32, 100, 12.5), 5);
    const std::vector<TrafficWord> words = Play(g, 10'000'000, 1000);
    ASSERT_GT(words.size(), 3400u);
    for (std::size_t i = 1; i < words.size(); ++i) {
        ASSERT_EQ(words[i].startUs - words[i - 1].startUs, 2880u);  // back to back
        ASSERT_EQ(words[i].endUs - words[i].startUs, 2560u);
        ASSERT_TRUE(HasOddParity(words[i].word));
        ASSERT_EQ(words[i].rateClass, 0u);
    }
    EXPECT_EQ(g.Sent(), words.size());
    EXPECT_NEAR(double(g.Sent()), 10e6 / 2880, 2);
    // Every offer was either sent or counted (the last offers may still wait).
    EXPECT_NEAR(double(g.Sent() + g.NotSent()), 32 * 100 * 10.0, 40);
    // A skipped stretch sends and counts nothing; the line goes on after it.
    const uint64_t sent = g.Sent(), notSent = g.NotSent();
    g.Skip(3'600'000'000);
    EXPECT_EQ(g.Sent(), sent);
    EXPECT_EQ(g.NotSent(), notSent);
    TrafficWord next;
    ASSERT_TRUE(g.Next(3'601'000'000, next));
    EXPECT_GE(next.startUs, 3'600'000'000u);
    // No label starves: each got its share of the bus.
    std::vector<unsigned> perLabel(32);
    for (const auto& w : words) ++perLabel[(w.word & 0xFF) - 0100];
    for (unsigned n : perLabel) EXPECT_GT(n, 80u);
}

TEST(TrafficGeneratorTest, SameSeedSameWordsHoweverTimeIsCut) {
    InputTraffic t = Labels(8, 50, 100);
    TrafficFault f;
    f.kind = FaultKind::Parity;
    f.probability = 0.5;
    t.faults.push_back(f);
    TrafficGenerator a(t, 9), b(t, 9), c(t, 10);
    const auto wa = Play(a, 2'000'000, 1'000'000);
    const auto wb = Play(b, 2'000'000, 777);
    const auto wc = Play(c, 2'000'000, 1000);
    ASSERT_EQ(wa.size(), wb.size());
    unsigned wrong = 0;
    for (std::size_t i = 0; i < wa.size(); ++i) {
        ASSERT_EQ(wa[i].word, wb[i].word);
        ASSERT_EQ(wa[i].startUs, wb[i].startUs);
        ASSERT_EQ(wa[i].parityRight, HasOddParity(wa[i].word));
        wrong += wa[i].parityRight ? 0 : 1;
    }
    // 800 words, half of them with the wrong parity.
    EXPECT_NEAR(double(wrong), double(wa.size()) / 2.0, double(wa.size()) * 0.1);
    bool differs = wc.size() != wa.size();
    for (std::size_t i = 0; !differs && i < wa.size(); ++i) differs = wa[i].startUs != wc[i].startUs;
    EXPECT_TRUE(differs);
}

TEST(TrafficGeneratorTest, NextArrivalOfTheChosenLabelsIsNeverLate) {
    // An overloaded line with jitter, a faster bit rate part of the time, dropouts and a burst:
    // whatever the pacing and the faults do, the chosen labels' next word never ends before the
    // time the generator names, and the bound is reached exactly while the line is quiet.
    InputTraffic t = Labels(12, 300, 12.5);
    TrafficFault fast;
    fast.kind = FaultKind::BitRate;
    fast.bitRateKbps = 100;
    fast.probability = 0.5;
    fast.window = {0.2, 0.3, 1.0};
    TrafficFault drop;
    drop.kind = FaultKind::Dropout;
    drop.label = 0101;
    drop.window = {0.5, 0.4, 1.0};
    TrafficFault burst;
    burst.kind = FaultKind::Burst;
    burst.label = 0103;
    burst.burstHz = 2000;
    burst.window = {1.1, 0.2, 0.0};
    t.faults = {fast, drop, burst};
    std::bitset<256> chosen;
    chosen.set(0101);
    chosen.set(0103);
    TrafficGenerator g(t, 3);
    EXPECT_EQ(g.NextArrivalUs({}), TrafficGenerator::kNone);
    uint64_t bound = g.NextArrivalUs(chosen);
    unsigned checked = 0;
    TrafficWord w;
    while (g.Next(3'000'000, w)) {
        if (chosen.test(w.word & 0xFF)) {
            ASSERT_GE(w.endUs, bound) << checked;
            ++checked;
        }
        bound = g.NextArrivalUs(chosen);
    }
    EXPECT_GT(checked, 150u);

    // One label on a quiet line: the bound is the word's own end.
    TrafficGenerator quiet(Labels(1, 10, 100), 4);
    std::bitset<256> one;
    one.set(0100);
    for (int i = 0; i < 20; ++i) {
        const uint64_t at = quiet.NextArrivalUs(one);
        ASSERT_TRUE(quiet.Next(10'000'000, w));
        EXPECT_EQ(w.endUs, at);
    }
}

}  // namespace
}  // namespace orv::test
