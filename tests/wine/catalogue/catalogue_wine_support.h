#ifndef TESTS_WINE_CATALOGUE_CATALOGUE_WINE_SUPPORT_H
#define TESTS_WINE_CATALOGUE_CATALOGUE_WINE_SUPPORT_H

#include <string>
#include <vector>

#include "tests/unit/catalogue/sample_device.h"
#include "updater/catalogue/component_list.h"

// The rows the sample tree offers that device, as "name|installed|new|x or blank"
// lines, with marboDMB 1.0.4 and BlueSoleil 6.0 installed (see InstallSampleVersions).
std::vector<std::wstring> SampleRows(const std::wstring &windowsName);
// Writes those installed versions (and marboDMB's program file); Remove... undoes it.
void InstallSampleVersions();
void RemoveSampleVersions();

// "name|installed|new|x" for a row.
std::wstring RowLine(const ComponentRow &row);

// Windows path of the sample tree (TESSEL_CATALOGUE_TREE, a Unix path, through Z:).
std::wstring SampleTreeFolder();

#endif
