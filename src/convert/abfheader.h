#pragma once
// The ABF output header: a 6144-byte image in the version 1.65 layout,
// little-endian, written field by field from the offsets below. Text fields
// are blank-padded to their width; every byte no field names is 0.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::size_t abfHeaderSize = 6144;
inline constexpr std::size_t abfBlockSize = 512;  // file positions count in these
inline constexpr int abfMaxChannels = 16;

enum class AbfType : std::uint8_t { int16, int32, float32, text };

struct AbfField {
    const char* name;
    std::uint16_t offset;
    AbfType type;
    std::uint16_t count = 1;  // array elements
    std::uint16_t width = 0;  // characters of one text element
};

// Fields under the names of the published ABF 1.x header.
namespace abf {
using enum AbfType;
inline constexpr AbfField lFileSignature{"lFileSignature", 0, text, 1, 4};
inline constexpr AbfField fFileVersionNumber{"fFileVersionNumber", 4, float32};
inline constexpr AbfField nOperationMode{"nOperationMode", 8, int16};
inline constexpr AbfField lActualAcqLength{"lActualAcqLength", 10, int32};
inline constexpr AbfField lActualEpisodes{"lActualEpisodes", 16, int32};
inline constexpr AbfField lFileStartDate{"lFileStartDate", 20, int32};  // yyyymmdd
inline constexpr AbfField lFileStartTime{"lFileStartTime", 24, int32};  // seconds since midnight
inline constexpr AbfField fHeaderVersionNumber{"fHeaderVersionNumber", 32, float32};
inline constexpr AbfField nFileType{"nFileType", 36, int16};
inline constexpr AbfField lDataSectionPtr{"lDataSectionPtr", 40, int32};
inline constexpr AbfField lTagSectionPtr{"lTagSectionPtr", 44, int32};
inline constexpr AbfField lNumTagEntries{"lNumTagEntries", 48, int32};
inline constexpr AbfField lSynchArrayPtr{"lSynchArrayPtr", 92, int32};
inline constexpr AbfField lSynchArraySize{"lSynchArraySize", 96, int32};
inline constexpr AbfField nDataFormat{"nDataFormat", 100, int16};
inline constexpr AbfField nADCNumChannels{"nADCNumChannels", 120, int16};
inline constexpr AbfField fADCSampleInterval{"fADCSampleInterval", 122, float32};
inline constexpr AbfField fSynchTimeUnit{"fSynchTimeUnit", 130, float32};
inline constexpr AbfField lNumSamplesPerEpisode{"lNumSamplesPerEpisode", 138, int32};
inline constexpr AbfField lPreTriggerSamples{"lPreTriggerSamples", 142, int32};
inline constexpr AbfField lEpisodesPerRun{"lEpisodesPerRun", 146, int32};
inline constexpr AbfField nAutoTriggerStrategy{"nAutoTriggerStrategy", 198, int16};
inline constexpr AbfField nDrawingStrategy{"nDrawingStrategy", 200, int16};
inline constexpr AbfField nTiledDisplay{"nTiledDisplay", 202, int16};
inline constexpr AbfField nEraseStrategy{"nEraseStrategy", 204, int16};
inline constexpr AbfField nDataDisplayMode{"nDataDisplayMode", 206, int16};
inline constexpr AbfField nChannelStatsStrategy{"nChannelStatsStrategy", 212, int16};
inline constexpr AbfField lCalculationPeriod{"lCalculationPeriod", 214, int32};
inline constexpr AbfField lSamplesPerTrace{"lSamplesPerTrace", 218, int32};
inline constexpr AbfField nMultiColor{"nMultiColor", 230, int16};
inline constexpr AbfField fStatisticsPeriod{"fStatisticsPeriod", 234, float32};
inline constexpr AbfField lStatisticsMeasurements{"lStatisticsMeasurements", 238, int32};
inline constexpr AbfField fADCRange{"fADCRange", 244, float32};
inline constexpr AbfField fDACRange{"fDACRange", 248, float32};
inline constexpr AbfField lADCResolution{"lADCResolution", 252, int32};
inline constexpr AbfField lDACResolution{"lDACResolution", 256, int32};
inline constexpr AbfField nExperimentType{"nExperimentType", 260, int16};
inline constexpr AbfField sCreatorInfo{"sCreatorInfo", 294, text, 1, 16};
inline constexpr AbfField _sFileComment{"_sFileComment", 310, text, 1, 56};
inline constexpr AbfField nFileStartMillisecs{"nFileStartMillisecs", 366, int16};
inline constexpr AbfField nADCPtoLChannelMap{"nADCPtoLChannelMap", 378, int16, 16};
inline constexpr AbfField nADCSamplingSeq{"nADCSamplingSeq", 410, int16, 16};
inline constexpr AbfField sADCChannelName{"sADCChannelName", 442, text, 16, 10};
inline constexpr AbfField sADCUnits{"sADCUnits", 602, text, 16, 8};
inline constexpr AbfField fADCProgrammableGain{"fADCProgrammableGain", 730, float32, 16};
inline constexpr AbfField fADCDisplayAmplification{"fADCDisplayAmplification", 794, float32, 16};
inline constexpr AbfField fInstrumentScaleFactor{"fInstrumentScaleFactor", 922, float32, 16};
inline constexpr AbfField fSignalGain{"fSignalGain", 1050, float32, 16};
inline constexpr AbfField fSignalLowpassFilter{"fSignalLowpassFilter", 1178, float32, 16};
inline constexpr AbfField sDACChannelName{"sDACChannelName", 1306, text, 4, 10};
inline constexpr AbfField sDACChannelUnits{"sDACChannelUnits", 1346, text, 4, 8};
inline constexpr AbfField fDACScaleFactor{"fDACScaleFactor", 1378, float32, 4};
inline constexpr AbfField _sParamValueList{"_sParamValueList", 1764, text, 1, 80};
inline constexpr AbfField nAutopeakPolarity{"nAutopeakPolarity", 1846, int16};
inline constexpr AbfField nAutopeakSearchMode{"nAutopeakSearchMode", 1850, int16};
inline constexpr AbfField nAutopeakSmoothing{"nAutopeakSmoothing", 1860, int16};
inline constexpr AbfField nAutopeakBaseline{"nAutopeakBaseline", 1862, int16};
inline constexpr AbfField lAutopeakMeasurements{"lAutopeakMeasurements", 1876, int32};
inline constexpr AbfField fArithmeticUpperLimit{"fArithmeticUpperLimit", 1882, float32};
inline constexpr AbfField fArithmeticLowerLimit{"fArithmeticLowerLimit", 1886, float32};
inline constexpr AbfField fArithmeticK1{"fArithmeticK1", 1894, float32};
inline constexpr AbfField fArithmeticK3{"fArithmeticK3", 1902, float32};
inline constexpr AbfField sArithmeticOperator{"sArithmeticOperator", 1910, text, 1, 2};
inline constexpr AbfField sArithmeticUnits{"sArithmeticUnits", 1912, text, 1, 8};
inline constexpr AbfField nPNNumPulses{"nPNNumPulses", 1938, int16};
inline constexpr AbfField nBellEnable{"nBellEnable", 1968, int16, 2};
inline constexpr AbfField nBellLocation{"nBellLocation", 1972, int16, 2};
inline constexpr AbfField nBellRepetitions{"nBellRepetitions", 1976, int16, 2};
inline constexpr AbfField nLevelHysteresis{"nLevelHysteresis", 1980, int16};
inline constexpr AbfField lTimeHysteresis{"lTimeHysteresis", 1982, int32};
inline constexpr AbfField fAverageWeighting{"fAverageWeighting", 2022, float32};
inline constexpr AbfField nTrialTriggerSource{"nTrialTriggerSource", 2028, int16};
inline constexpr AbfField nExternalTagType{"nExternalTagType", 2032, int16};
inline constexpr AbfField lHeaderSize{"lHeaderSize", 2034, int32};
inline constexpr AbfField fDACCalibrationFactor{"fDACCalibrationFactor", 2074, float32, 4};
inline constexpr AbfField fDACCalibrationOffset{"fDACCalibrationOffset", 2090, float32, 4};
inline constexpr AbfField fDACFileScale{"fDACFileScale", 2708, float32, 2};
inline constexpr AbfField sDACFilePath{"sDACFilePath", 2736, text, 2, 256};
inline constexpr AbfField sULParamValueList{"sULParamValueList", 3376, text, 4, 256};
inline constexpr AbfField nPNPolarity{"nPNPolarity", 4460, int16, 2};
inline constexpr AbfField fTelegraphAdditGain{"fTelegraphAdditGain", 4576, float32, 16};
inline constexpr AbfField fTelegraphFilter{"fTelegraphFilter", 4640, float32, 16};
inline constexpr AbfField nAutoAnalyseEnable{"nAutoAnalyseEnable", 4832, int16};
inline constexpr AbfField sFileComment{"sFileComment", 5154, text, 1, 128};
}  // namespace abf

// The header image. Element index selects within an array field; an index
// or type that does not fit the field is a programming error (asserted).
struct AbfHeader {
    std::array<std::uint8_t, abfHeaderSize> bytes{};

    void setint(const AbfField& f, std::int32_t value, int index = 0);
    void setreal(const AbfField& f, float value, int index = 0);
    // Copies text into element index, cut at the width; the rest of the
    // element is left as it was.
    void settext(const AbfField& f, std::string_view text, int index = 0);

    std::int32_t getint(const AbfField& f, int index = 0) const;
    float getreal(const AbfField& f, int index = 0) const;
    std::string_view gettext(const AbfField& f, int index = 0) const;
};

// Copies text into a field of width characters and fills the rest with
// blanks; no NUL is written. text must not be longer than width.
void padcopy(char* field, std::string_view text, std::size_t width);

// text as readers of ABF files take header texts: printable ASCII, each
// other character (a UTF-8 sequence, a byte of another code page, a control
// byte) made one '_'.
std::string abfascii(std::string_view text);

// Fills header with the values of a fresh, empty ABF 1.65 file: one
// gap-free channel at 100 us per sample, no data, no synch array.
void abfdefaults(AbfHeader& header);
