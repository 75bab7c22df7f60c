#include "sysex/sysex_configure_form.h"

#include <charconv>
#include <climits>
#include <optional>

namespace corvex {

namespace {

// The number a field reads as: optional surrounding blanks and digits, nothing else.
std::optional<long long> numberOf(const std::string& text) {
    size_t begin = text.find_first_not_of(' ');
    size_t end = text.find_last_not_of(' ');
    if (begin == std::string::npos) {
        return std::nullopt;
    }
    long long value = 0;
    const char* first = text.data() + begin;
    const char* last = text.data() + end + 1;
    auto [stop, error] = std::from_chars(first, last, value);
    if (error == std::errc::result_out_of_range) {
        return first[0] == '-' ? LLONG_MIN : LLONG_MAX;
    }
    if (error != std::errc() || stop != last) {
        return std::nullopt;
    }
    return value;
}

void takeBufferField(const std::string& text, uint16_t& field, SysExConfigureResult& result) {
    std::optional<long long> typed = numberOf(text);
    if (!typed || *typed == field) {
        return;
    }
    Clamped<uint16_t> clamped = clampSysExBufferField(*typed);
    result.adjusted |= clamped.adjusted;
    result.buffersChanged |= clamped.value != field;
    field = clamped.value;
}

void takeDelay(const std::string& text, uint32_t& field, SysExConfigureResult& result) {
    if (std::optional<long long> typed = numberOf(text)) {
        Clamped<uint32_t> clamped = clampSysExDelay(*typed);
        result.adjusted |= clamped.adjusted;
        field = clamped.value;
    }
}

} // namespace

SysExConfigureForm configureFormOf(const SysExTransferSettings& settings, bool append,
                                   const SysExBufferNumbers& buffers) {
    SysExConfigureForm form;
    form.inputSize = std::to_string(buffers.inputSize);
    form.inputCount = std::to_string(buffers.inputCount);
    form.outputSize = std::to_string(buffers.outputSize);
    form.outputCount = std::to_string(buffers.outputCount);
    form.bufferDelay = std::to_string(settings.bufferDelayMs);
    form.afterF7Delay = std::to_string(settings.afterF7DelayMs);
    form.delayAfterF7 = settings.delayAfterF7;
    form.autoDelay = settings.autoDelay;
    form.noWarningsToSave = settings.noWarningsToSave;
    form.append = append;
    form.fillDisplay = settings.fillDisplay;
    form.colorF7 = settings.colorF7;
    form.saveDirectlyToFile = settings.saveDirectlyToFile;
    return form;
}

SysExConfigureResult acceptConfigureForm(const SysExConfigureForm& form,
                                         const SysExTransferSettings& settings,
                                         const SysExBufferNumbers& buffers) {
    SysExConfigureResult result;
    result.settings = settings;
    result.settings.delayAfterF7 = form.delayAfterF7;
    result.settings.autoDelay = form.autoDelay;
    result.settings.noWarningsToSave = form.noWarningsToSave;
    result.settings.fillDisplay = form.fillDisplay;
    result.settings.colorF7 = form.colorF7;
    result.settings.saveDirectlyToFile = form.saveDirectlyToFile;
    result.append = form.append;
    result.buffers = buffers;
    takeBufferField(form.inputSize, result.buffers.inputSize, result);
    takeBufferField(form.inputCount, result.buffers.inputCount, result);
    takeBufferField(form.outputSize, result.buffers.outputSize, result);
    takeBufferField(form.outputCount, result.buffers.outputCount, result);
    if (form.delayAfterF7) {
        takeDelay(form.afterF7Delay, result.settings.afterF7DelayMs, result);
    }
    takeDelay(form.bufferDelay, result.settings.bufferDelayMs, result);
    return result;
}

} // namespace corvex
