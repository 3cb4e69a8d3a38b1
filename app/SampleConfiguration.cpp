#include "SampleConfiguration.h"

#include <QStringList>

namespace {

QString Spaces(int count) { return QString(count, QLatin1Char(' ')); }

}  // namespace

QString SampleConfigurationText() {
  const QStringList lines = {
      QStringLiteral("Konfig. soubor:"),
      QStringLiteral("1\t") + Spaces(18) + QStringLiteral("(TEST = kod prislusneho Tarniho testu)"),
      QStringLiteral("Tarni_1") + Spaces(24) + QStringLiteral("(jmeno BMP předlohy)"),
      QStringLiteral("xxxx") + Spaces(27) + QStringLiteral("(jmeno výstupní databaze osob )\t"),
      QStringLiteral("10") + Spaces(30) + QStringLiteral("(parametr a)"),
      QStringLiteral("10") + Spaces(30) + QStringLiteral("(parametr b)"),
      QStringLiteral("4") + Spaces(32) + QStringLiteral("(počet polozek v mnozine AGR)"),
      QStringLiteral("9,21,24,25,") + Spaces(16) + QStringLiteral("(cisla obrazku v mnozine AGR"),
      QStringLiteral("4") + Spaces(32) + QStringLiteral("(pocet polozek v mnozine SM) (muze byt i 0)"),
      QStringLiteral("6,7,18,29,") + Spaces(18) + QStringLiteral("(cisla polozek v mnozine SM)"),
      QString(),
      QString(),
      QStringLiteral(" "),
  };
  return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}
