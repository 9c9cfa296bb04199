#include "convert/abfheader.h"

#include <bit>
#include <cassert>
#include <cstdio>
#include <cstring>

namespace {

std::size_t elementsize(const AbfField& f)
{
    switch (f.type) {
    case AbfType::int16: return 2;
    case AbfType::int32:
    case AbfType::float32: return 4;
    case AbfType::text: return f.width;
    }
    return 0;
}

std::size_t at(const AbfField& f, int index)
{
    assert(index >= 0 && index < f.count);
    return f.offset + static_cast<std::size_t>(index) * elementsize(f);
}

void putle(std::uint8_t* p, std::uint32_t v, int n)
{
    for (int i = 0; i < n; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t getle(const std::uint8_t* p, int n)
{
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i)
        v |= std::uint32_t(p[i]) << (8 * i);
    return v;
}

}  // namespace

void AbfHeader::setint(const AbfField& f, std::int32_t value, int index)
{
    assert(f.type == AbfType::int16 || f.type == AbfType::int32);
    putle(&bytes[at(f, index)], static_cast<std::uint32_t>(value), static_cast<int>(elementsize(f)));
}

void AbfHeader::setreal(const AbfField& f, float value, int index)
{
    assert(f.type == AbfType::float32);
    putle(&bytes[at(f, index)], std::bit_cast<std::uint32_t>(value), 4);
}

void AbfHeader::settext(const AbfField& f, std::string_view text, int index)
{
    assert(f.type == AbfType::text);
    std::memcpy(&bytes[at(f, index)], text.data(), std::min<std::size_t>(text.size(), f.width));
}

std::int32_t AbfHeader::getint(const AbfField& f, int index) const
{
    assert(f.type == AbfType::int16 || f.type == AbfType::int32);
    std::uint32_t v = getle(&bytes[at(f, index)], static_cast<int>(elementsize(f)));
    return f.type == AbfType::int16 ? static_cast<std::int16_t>(v) : static_cast<std::int32_t>(v);
}

float AbfHeader::getreal(const AbfField& f, int index) const
{
    assert(f.type == AbfType::float32);
    return std::bit_cast<float>(getle(&bytes[at(f, index)], 4));
}

std::string_view AbfHeader::gettext(const AbfField& f, int index) const
{
    assert(f.type == AbfType::text);
    return {reinterpret_cast<const char*>(&bytes[at(f, index)]), f.width};
}

void padcopy(char* field, std::string_view text, std::size_t width)
{
    assert(text.size() <= width);
    std::memcpy(field, text.data(), text.size());
    std::memset(field + text.size(), ' ', width - text.size());
}

std::string abfascii(std::string_view text)
{
    std::string s;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7f) {
            s += static_cast<char>(c);
            continue;
        }
        // A well-formed UTF-8 sequence is one character: its continuation bytes go with it.
        const std::size_t more = c >= 0xc2 && c <= 0xdf ? 1 : c >= 0xe0 && c <= 0xef ? 2 : c >= 0xf0 && c <= 0xf4 ? 3 : 0;
        std::size_t k = 0;
        while (k < more && i + 1 + k < text.size() && (static_cast<unsigned char>(text[i + 1 + k]) & 0xc0) == 0x80)
            ++k;
        if (k == more)
            i += more;
        s += '_';
    }
    return s;
}

void abfdefaults(AbfHeader& header)
{
    using namespace abf;
    AbfHeader h;  // built apart, handed over whole

    for (const AbfField* f : {&_sParamValueList, &sADCChannelName, &sADCUnits, &sDACChannelName,
                              &sDACChannelUnits, &sDACFilePath, &sArithmeticUnits, &sCreatorInfo,
                              &sFileComment, &sULParamValueList})
        std::memset(&h.bytes[f->offset], ' ', std::size_t(f->count) * f->width);
    padcopy(reinterpret_cast<char*>(&h.bytes[sArithmeticOperator.offset]), "+", sArithmeticOperator.width);

    h.settext(lFileSignature, "ABF ");
    struct IntDefault { const AbfField& field; std::int32_t value; };
    for (const IntDefault& d : std::initializer_list<IntDefault>{
             {nOperationMode, 3}, {nFileType, 1}, {lDataSectionPtr, 12},
             {nADCNumChannels, 1}, {lNumSamplesPerEpisode, 512}, {lPreTriggerSamples, 16},
             {lEpisodesPerRun, 1}, {nAutoTriggerStrategy, 1}, {nDrawingStrategy, 1},
             {nTiledDisplay, 1}, {nEraseStrategy, 1}, {nDataDisplayMode, 1},
             {nChannelStatsStrategy, 0}, {lSamplesPerTrace, 16384}, {nMultiColor, 1},
             {lStatisticsMeasurements, 5}, {lADCResolution, 32768}, {lDACResolution, 32768},
             {nExperimentType, 2}, {nAutopeakPolarity, 1}, {nAutopeakSearchMode, -2},
             {nAutopeakSmoothing, 1}, {nAutopeakBaseline, -2}, {lAutopeakMeasurements, 3},
             {nPNNumPulses, 2}, {nLevelHysteresis, 64}, {lTimeHysteresis, 1},
             {nTrialTriggerSource, -1}, {nExternalTagType, 2},
             {lHeaderSize, static_cast<std::int32_t>(abfHeaderSize)}, {nAutoAnalyseEnable, 1}})
        h.setint(d.field, d.value);
    struct RealDefault { const AbfField& field; float value; };
    for (const RealDefault& d : std::initializer_list<RealDefault>{
             {fFileVersionNumber, 1.65f}, {fHeaderVersionNumber, 1.65f},
             {fADCSampleInterval, 100.0f}, {fStatisticsPeriod, 1.0f}, {fADCRange, 10.24f},
             {fDACRange, 10.24f}, {fArithmeticUpperLimit, 100.0f}, {fArithmeticLowerLimit, -100.0f},
             {fArithmeticK1, 1.0f}, {fArithmeticK3, 1.0f}, {fAverageWeighting, 0.1f}})
        h.setreal(d.field, d.value);

    char name[32];
    for (int i = 0; i < abfMaxChannels; ++i) {
        std::snprintf(name, sizeof name, "AI #%-8d", i);
        h.settext(sADCChannelName, name, i);
        h.settext(sADCUnits, "pA        ", i);
        h.setint(nADCPtoLChannelMap, i, i);
        h.setint(nADCSamplingSeq, -1, i);
        for (const AbfField* f : {&fADCProgrammableGain, &fADCDisplayAmplification, &fSignalGain,
                                  &fTelegraphAdditGain})
            h.setreal(*f, 1.0f, i);
        h.setreal(fInstrumentScaleFactor, 0.1f, i);
        h.setreal(fSignalLowpassFilter, 100000.0f, i);
        h.setreal(fTelegraphFilter, 100000.0f, i);
    }
    h.setint(nADCSamplingSeq, 0, 0);
    for (int i = 0; i < 4; ++i) {
        std::snprintf(name, sizeof name, "AO #%-8d", i);
        h.settext(sDACChannelName, name, i);
        h.settext(sDACChannelUnits, "mV        ", i);
        h.setreal(fDACScaleFactor, 20.0f, i);
        h.setreal(fDACCalibrationFactor, 1.0f, i);
        h.setreal(fDACCalibrationOffset, 0.0f, i);
    }
    for (int i = 0; i < 2; ++i) {
        h.setreal(fDACFileScale, 1.0f, i);
        h.setint(nPNPolarity, 1, i);
        h.setint(nBellEnable, 0, i);
        h.setint(nBellLocation, 1, i);
        h.setint(nBellRepetitions, 1, i);
    }
    // Statistics period in seconds over the sample interval in microseconds.
    h.setint(lCalculationPeriod, static_cast<std::int32_t>(double(h.getreal(fStatisticsPeriod)) /
                                                          h.getreal(fADCSampleInterval) * 1000.0));
    header = h;
}
