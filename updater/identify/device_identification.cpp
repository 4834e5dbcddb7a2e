#include "updater/identify/device_identification.h"

#include "common/text.h"
#include "updater/identify/model_tables.h"

namespace {

const size_t kClassmatePrefixLength = 16;  // "Intel powered cl"

bool IsCmpc(const std::wstring &family) { return EqualsNoCase(family, L"CMPC"); }

void TakeModelTag(const std::wstring &text, Identification &result) {
    ModelTagMatch match;
    if (LookUpModelTag(text, match)) {
        result.modelName = match.modelName;
        result.modelSuffix = match.suffix;
    }
}

void IdentifyAsClassmate(IdentificationSources &sources, Identification &result) {
    result.identified = true;
    result.modelName = kGenericCmpcModel;
    result.modelSuffix.clear();
    sources.GetAdapterAddress(result.serial, kClassmateAdapter);
}

void JudgeSystemTexts(bool cmpc, IdentificationSources &sources, Identification &result) {
    const SystemTexts &texts = result.systemTexts;
    if (cmpc) {
        if (EqualsNoCase(texts.productName, kClassmateProductName))
            IdentifyAsClassmate(sources, result);
        return;
    }
    if (!EqualsNoCase(texts.manufacturer, kMakerManufacturer))
        return;
    result.identified = true;
    TakeModelTag(texts.productName, result);
    if (StartsWithNoCase(texts.serialNumber, kSerialTag))
        result.serial = texts.serialNumber.substr(std::wstring(kSerialTag).size());
}

void JudgeManagementText(bool cmpc, IdentificationSources &sources, Identification &result) {
    const std::wstring &text = result.managementText;
    if (cmpc) {
        const std::wstring prefix =
            std::wstring(kClassmateProductName).substr(0, kClassmatePrefixLength);
        if (StartsWithNoCase(text, prefix))
            IdentifyAsClassmate(sources, result);
        return;
    }
    if (!StartsWithNoCase(text, kModelTagPrefix))
        return;
    result.identified = true;
    TakeModelTag(text, result);
    result.serial.clear();
}

// WMI may not be up yet early in a boot: failures are retried for a bounded time, and
// each attempt may take only what is left of it; any answer, even "no object", ends
// the asking.
void AskManagement(bool cmpc, IdentificationSources &sources, Identification &result) {
    result.managementAsked = true;
    const uint32_t start = sources.TickCount();
    for (uint32_t spent; (spent = sources.TickCount() - start) < kManagementTimeLimit;) {
        std::wstring text;
        ++result.managementAttempts;
        result.managementResult = sources.QueryManagementText(text, kManagementTimeLimit - spent);
        if (result.managementResult >= 0) {
            result.managementText = text;
            JudgeManagementText(cmpc, sources, result);
            return;
        }
        sources.Wait(kManagementRetryDelay);
    }
}

}  // namespace

bool IdentifyDevice(const std::wstring &family, IdentificationSources &sources,
                    Identification &result) {
    result = Identification();
    const bool cmpc = IsCmpc(family);

    if (PhysicalReader *memory = sources.OpenMemory()) {
        result.memoryOpened = true;
        result.systemTextsRead = sources.ReadMemoryTexts(*memory, result.systemTexts);
        if (cmpc)
            ScanCmpcBiosArea(*memory, result.modelName, result.scan);
        else
            ScanMidBiosArea(*memory, result.modelName, result.scan);
        sources.CloseMemory();
    } else {
        result.systemTextsRead = sources.ReadFirmwareTexts(result.systemTexts);
    }

    // The firmware's texts come after the scan: a model tag replaces the scan's model.
    if (result.systemTextsRead)
        JudgeSystemTexts(cmpc, sources, result);

    if (!result.identified)
        AskManagement(cmpc, sources, result);

    const bool found = result.scan.makerFound || result.identified;
    result.identified = found;
    return found;
}

bool IdentifyAnyFamily(IdentificationSources &sources, std::wstring &family,
                       Identification &result) {
    family.clear();
    for (const wchar_t *candidate : {L"MID", L"CMPC"}) {
        if (IdentifyDevice(candidate, sources, result)) {
            family = candidate;
            return true;
        }
    }
    result = Identification();
    return false;
}
