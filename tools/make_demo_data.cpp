// Writes a small demo export of the payroll system: payslips (F_VP with its
// memo file) and a health-insurance overview (F_ZP), in FOLDER/data.
#include <filesystem>
#include <fstream>
#include <iostream>

#include "forms/layouts.h"
#include "kord/builder.h"
#include "platform/win1250.h"

namespace {

using platform::Utf8ToWin1250;

void Save(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_demo_data FOLDER\n";
    return 2;
  }
  const std::string data = std::string(argv[1]) + "/data";
  std::filesystem::create_directories(data);

  struct Employee {
    int osoba;
    const char *jmeno, *prijmeni, *obec;
    double hruba, cista;
  } employees[] = {
      {101, "Jiří", "Šedivý", "Brno", 38250.0, 29870.5},
      {102, "Markéta", "Žáková", "Ústí nad Labem", 41200.0, 31944.0},
      {103, "Ondřej", "Čermák", "Plzeň", 35500.0, 27806.25},
  };
  auto vp = forms::CreateTable(*forms::FindTableLayout("F_VP"));
  kord::RecordBuilder payslips(*vp);
  const int32_t memo = payslips.AddMemo(Utf8ToWin1250("Děkujeme za vaši práci.\r\nMzdová účtárna"));
  for (const Employee& e : employees) {
    payslips.Begin();
    payslips.SetNumber("Imes", 1);
    payslips.SetText("Rok", "2026");
    payslips.SetNumber("Mesic", 11);
    payslips.SetText("NazevMes", "listopad");
    payslips.SetText("NazevPod", Utf8ToWin1250("Strojírny Vysočina a.s."));
    payslips.SetNumber("Osoba", e.osoba);
    payslips.SetNumber("PoradiPP", 1);
    payslips.SetText("Jmeno", Utf8ToWin1250(e.jmeno));
    payslips.SetText("Prijmeni", Utf8ToWin1250(e.prijmeni));
    payslips.SetText("Obec", Utf8ToWin1250(e.obec));
    payslips.SetText("Narozen", "14.3.1985");
    payslips.SetNumber("Hodiny", 168);
    payslips.SetNumber("HrubaMzda", e.hruba);
    payslips.SetNumber("CistaMzda", e.cista);
    payslips.SetNumber("KonecVL", memo);
    payslips.End();
  }
  Save(data + "/VYPLPAS.DAT", payslips.DataFile());
  Save(data + "/VYPLPAS.TAT", payslips.MemoFile());

  auto zp = forms::CreateTable(*forms::FindTableLayout("F_ZP"));
  kord::RecordBuilder overview(*zp);
  overview.Begin();
  overview.SetNumber("Formular", 1);
  overview.SetText("NazevV", Utf8ToWin1250("Strojírny Vysočina a.s."));
  overview.SetText("Ulice", Utf8ToWin1250("Nádražní 1234/56"));
  overview.SetText("CisloO", "56");
  overview.SetText("PSC", "58601");
  overview.SetText("MistoV", "Jihlava");
  overview.SetText("Telefon1", "+420 567 123 456");
  overview.SetText("ICO", "12345678");
  overview.SetText("Mesic", "11");
  overview.SetText("Rok", "2026");
  overview.SetNumber("PocetZ", 3);
  overview.SetNumber("Zaklad", 114950);
  overview.SetNumber("Odvod", 15518.25);
  overview.End();
  Save(data + "/PREHLZP.DAT", overview.DataFile());
  std::cout << "demo data in " << data << "\n";
  return 0;
}
