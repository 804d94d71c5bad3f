// What a report code selects and which rules of the run hold for it. Every
// test compares the upper-cased code exactly: the whole code, or its first
// characters ("begins with").
#pragma once

#include <string>
#include <string_view>

namespace report {

struct FormChoice {
  const char* inputTable;  // nullptr: no form for this code
  const char* dataset;
};

FormChoice ChooseForm(std::string_view code);

bool UsesParam2(std::string_view code);             // parameter table is F_PARAM2
bool ReadsCbsIdentP(std::string_view code);         // read CBSIDENTP
bool ReadsFormular2(std::string_view code);         // read Formular2
bool HasOwnRecordsFilter(std::string_view code);    // X11931..X11934
bool OwnRecordsWantVlastni(std::string_view code);  // X11931, X11933: Vlastni true
bool LastRecordOnly(std::string_view code);         // X11935
bool AdmitsEveryRecord(std::string_view code);
bool SetsFormularFromFB(std::string_view code);
bool CopiesRunParameters(std::string_view code);
bool LoadsTemplate(std::string_view code);
bool HasYearSuffix(std::string_view code);
bool BeginsWith(std::string_view code, std::string_view prefix);

// The year suffix of the template name for the code and the parameter Rok.
std::string YearSuffix(std::string_view code, std::string_view rok);
// "_" + the variant when it reads as an integer above 0, else nothing.
std::string VariantSuffix(std::string_view variant);

}  // namespace report
