// The realistic tables of DamagedTables.h: columns that real dBASE tables
// hold (ids, names, addresses, amounts, dates, flags, codes, notes, memo
// blocks), text in Windows-1252 with accented letters, a few deleted records.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>

#include "DamagedTables.h"
#include "RandomDraws.h"

namespace drelin::testing {

namespace {

template <typename T>
const T& Pick(Random& random, const std::vector<T>& items) {
  return items[Uniform(random, 0, items.size() - 1)];
}

const std::vector<std::string> kFirstNames = {
    "Anna", "Jos\xE9", "S\xF8ren", "Zo\xEB", "Fran\xE7ois", "In\xE9s", "Mark", "\xC5sa", "J\xFCrgen",
    "Chlo\xE9", "M\xE1ria", "Bj\xF6rn", "No\xEBl", "Giulia", "Hans", "Olivia", "Pedro", "Fatima", "Wei",
    "Yuki", "Elena", "Dmitri", "Lu\xEDs", "Sean", "Ingrid", "Henrik", "Marta", "Paolo", "\xC9mile",
    "Agn\xE8s", "Tom\xE1s", "Niamh", "Lars", "Kerstin", "Ahmed", "Priya", "Jo\xE3o", "Ren\xE9", "Ute"};
const std::vector<std::string> kLastNames = {
    "M\xFCller", "Garc\xED" "a", "\xD8" "deg\xE5rd", "Bront\xEB", "Lef\xE8vre", "Nu\xF1" "ez", "O'Brien",
    "Lindstr\xF6m", "Schmidt", "Rossi", "Dubois", "Nov\xE1k", "Kowalski", "Jensen", "Smith", "Johnson",
    "Fern\xE1ndez", "Costa", "Silva", "Nakamura", "Ivanov", "Papadopoulos", "Horv\xE1th", "Virtanen",
    "Andersson", "de Vries", "Janssen", "Peeters", "Murphy", "Kelly", "Wagner", "Becker", "Moreau",
    "Laurent", "Bianchi", "Santos", "Gonz\xE1lez", "Hansen", "Berg", "Meier"};
const std::vector<std::string> kStreets = {
    "Hauptstra\xDF" "e", "Rue de la Paix", "Calle Mayor", "Via Roma", "Main Street", "Kungsgatan",
    "N\xF8rrebrogade", "Avenida da Liberdade", "High Street", "Bahnhofstrasse", "Karl Johans gate",
    "V\xE1" "ci utca", "Oxford Road", "Rue du Faubourg Saint-Honor\xE9", "Elm Avenue", "Station Road",
    "Schillerplatz", "Gran V\xED" "a", "Corso Italia", "Boulevard Haussmann", "Mill Lane"};
const std::vector<std::string> kCities = {
    "K\xF6ln", "M\xE1laga", "\xC5lesund", "Besan\xE7on", "Logro\xF1o", "Dublin", "Uppsala", "Z\xFCrich",
    "Paris", "Lyon", "Madrid", "Porto", "Lisboa", "Roma", "Milano", "Berlin", "Hamburg", "M\xFCnchen",
    "Wien", "Praha", "Oslo", "K\xF8" "benhavn", "G\xF6teborg", "Helsinki", "Amsterdam", "Antwerpen",
    "Bruxelles", "Gen\xE8ve", "London", "Manchester", "Edinburgh", "Reykjav\xEDk", "Sevilla", "Bordeaux"};
const std::vector<std::string> kCountries = {"Germany", "France", "Spain", "Italy", "Sweden", "Norway",
                                             "Denmark", "Finland", "Netherlands", "Belgium", "Austria",
                                             "United Kingdom", "Ireland", "Portugal", "Iceland", "Switzerland"};
const std::vector<std::string> kCountryCodes = {"DE", "FR", "ES", "IT", "SE", "NO", "DK", "FI", "NL",
                                                "BE", "AT", "GB", "IE", "PT", "IS", "CH", "CZ", "PL"};
const std::vector<std::string> kDomains = {"example.com", "mail.de", "post.dk", "web.fr", "correo.es",
                                           "posta.it", "telia.se", "online.no", "eircom.net", "kpn.nl"};
const std::vector<std::string> kCompanySuffixes = {"GmbH", "AG", "S.A.", "S.r.l.", "Ltd", "& Co.", "AB",
                                                   "A/S", "BV", "SARL", "Oy", "plc"};
const std::vector<std::string> kStatuses = {"OPEN", "CLOSED", "PENDING", "SHIPPED", "PAID", "CANCELLED",
                                            "ON HOLD", "RETURNED"};
const std::vector<std::string> kCategories = {"Hardware", "Software", "Services", "Office", "Travel",
                                              "Books", "Garden", "Tools", "Food", "Drinks", "Textiles"};
const std::vector<std::string> kNotes = {
    "call before delivery", "paid in cash", "r\xFC" "ckruf erbeten", "livraison le matin", "VIP customer",
    "address changed 2019", "see memo", "invoice sent twice", "prefers e-mail", "closed on Mondays",
    "discount 5% agreed", "ask for Mr. Jensen", "new account", "moved to head office", "late payer",
    "entrega por la tarde", "consegna al piano terra", "no deliveries in August"};

std::string Number(double value, int width, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%*.*f", width, decimals, value);
  return text;
}

std::string Date(Random& random) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02d%02d", static_cast<int>(Uniform(random, 1988, 2026)),
                static_cast<int>(Uniform(random, 1, 12)), static_cast<int>(Uniform(random, 1, 28)));
  return text;
}

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (static_cast<unsigned char>(c) >= 0x80 || c == ' ' || c == '\'') c = 'x';
  }
  return text;
}

struct Column {
  std::string name;
  char type;
  uint8_t length;
  uint8_t decimals;
  bool rightAligned;
  std::function<std::string(Random&, size_t)> value;
};

using ColumnMaker = std::function<Column(Random&)>;

Column Text(std::string name, uint8_t length, std::function<std::string(Random&, size_t)> value) {
  return {std::move(name), 'C', length, 0, false, std::move(value)};
}

// Each maker draws one column's size and returns it with its values.
std::vector<ColumnMaker> TextColumns() {
  return {
      [](Random&) {
        return Text("CUSTNO", 8, [](Random& r, size_t i) {
          char t[16];
          std::snprintf(t, sizeof t, "C%07zu", i * 7 + Uniform(r, 0, 6));
          return std::string(t);
        });
      },
      [](Random& r) { return Text("FIRSTNAME", static_cast<uint8_t>(Uniform(r, 15, 20)), [](Random& r, size_t) { return Pick(r, kFirstNames); }); },
      [](Random& r) { return Text("LASTNAME", static_cast<uint8_t>(Uniform(r, 20, 25)), [](Random& r, size_t) { return Pick(r, kLastNames); }); },
      [](Random& r) { return Text("NAME", static_cast<uint8_t>(Uniform(r, 25, 40)), [](Random& r, size_t) { return Pick(r, kFirstNames) + " " + Pick(r, kLastNames); }); },
      [](Random& r) { return Text("COMPANY", static_cast<uint8_t>(Uniform(r, 30, 40)), [](Random& r, size_t) { return Pick(r, kLastNames) + " " + Pick(r, kCompanySuffixes); }); },
      [](Random& r) {
        return Text("STREET", static_cast<uint8_t>(Uniform(r, 30, 40)), [](Random& r, size_t) {
          const std::string number = std::to_string(Uniform(r, 1, 240));
          return Chance(r, 0.5) ? Pick(r, kStreets) + " " + number : number + " " + Pick(r, kStreets);
        });
      },
      [](Random& r) { return Text("CITY", static_cast<uint8_t>(Uniform(r, 20, 25)), [](Random& r, size_t) { return Pick(r, kCities); }); },
      [](Random& r) {
        return Text("ZIP", static_cast<uint8_t>(Uniform(r, 8, 10)), [](Random& r, size_t) {
          char t[16];
          if (Chance(r, 0.6)) std::snprintf(t, sizeof t, "%05zu", Uniform(r, 1000, 99999));
          else std::snprintf(t, sizeof t, "%c-%04zu", "DAFN"[Uniform(r, 0, 3)], Uniform(r, 1000, 9999));
          return std::string(t);
        });
      },
      [](Random& r) {
        if (Chance(r, 0.5)) return Text("COUNTRY", 2, [](Random& r, size_t) { return Pick(r, kCountryCodes); });
        return Text("COUNTRY", 20, [](Random& r, size_t) { return Pick(r, kCountries); });
      },
      [](Random& r) {
        return Text("PHONE", static_cast<uint8_t>(Uniform(r, 18, 20)), [](Random& r, size_t) {
          if (Chance(r, 0.1)) return std::string();
          char t[32];
          std::snprintf(t, sizeof t, "+%zu %zu %zu", Uniform(r, 30, 49), Uniform(r, 10, 999), Uniform(r, 100000, 9999999));
          return std::string(t);
        });
      },
      [](Random& r) {
        return Text("EMAIL", static_cast<uint8_t>(Uniform(r, 30, 40)), [](Random& r, size_t) {
          if (Chance(r, 0.15)) return std::string();
          return Lower(Pick(r, kFirstNames)) + "." + Lower(Pick(r, kLastNames)) + "@" + Pick(r, kDomains);
        });
      },
      [](Random& r) {
        return Text("CODE", static_cast<uint8_t>(Uniform(r, 7, 10)), [](Random& r, size_t) {
          char t[16];
          std::snprintf(t, sizeof t, "%c%c-%04zu", static_cast<char>('A' + Uniform(r, 0, 25)),
                        static_cast<char>('A' + Uniform(r, 0, 25)), Uniform(r, 0, 9999));
          return std::string(t);
        });
      },
      [](Random&) { return Text("STATUS", 10, [](Random& r, size_t) { return Pick(r, kStatuses); }); },
      [](Random&) { return Text("CATEGORY", 12, [](Random& r, size_t) { return Pick(r, kCategories); }); },
      [](Random& r) {
        return Text("NOTE", static_cast<uint8_t>(Uniform(r, 20, 60)), [](Random& r, size_t) {
          return Chance(r, 0.7) ? std::string() : Pick(r, kNotes);
        });
      },
  };
}

std::vector<ColumnMaker> TypedColumns() {
  auto number = [](std::string name, char type, uint8_t low, uint8_t high, uint8_t decimals, double scale,
                   bool negative, double blank) {
    return [=](Random& r) {
      const uint8_t length = static_cast<uint8_t>(Uniform(r, low, high));
      return Column{name, type, length, decimals, true, [=](Random& r, size_t) {
                      if (Chance(r, blank)) return std::string();
                      double value = std::uniform_real_distribution<double>(0, scale)(r);
                      if (negative && Chance(r, 0.2)) value = -value;
                      return Number(value, length, decimals).substr(0, length);
                    }};
    };
  };
  return {
      [](Random& r) {
        const uint8_t length = static_cast<uint8_t>(Uniform(r, 6, 10));
        const size_t start = Uniform(r, 1, 5000);
        return Column{"ID", 'N', length, 0, true, [=](Random&, size_t i) { return std::to_string(start + i); }};
      },
      number("AMOUNT", 'N', 10, 14, 2, 99999, true, 0.02),
      number("QTY", 'N', 4, 6, 0, 500, false, 0.0),
      number("PRICE", 'N', 9, 10, 2, 2500, false, 0.01),
      number("RATE", 'F', 10, 12, 4, 20, true, 0.05),
      number("WEIGHT", 'F', 9, 10, 3, 800, false, 0.1),
      number("BALANCE", 'N', 12, 12, 2, 250000, true, 0.0),
      [](Random& r) {
        static const std::vector<std::string> names = {"ORDERED", "SHIPPED", "BORN", "DUE", "UPDATED"};
        return Column{Pick(r, names), 'D', 8, 0, false, [](Random& r, size_t) {
                        return Chance(r, 0.03) ? std::string() : Date(r);
                      }};
      },
      [](Random& r) {
        static const std::vector<std::string> names = {"PAID", "ACTIVE", "VIP", "EXPORTED"};
        return Column{Pick(r, names), 'L', 1, 0, false, [](Random& r, size_t) {
                        if (Chance(r, 0.03)) return std::string("?");
                        if (Chance(r, 0.03)) return std::string();
                        return std::string(Chance(r, 0.6) ? "T" : "F");
                      }};
      },
      [](Random&) {
        auto next = std::make_shared<size_t>(1);
        return Column{"MEMO", 'M', 10, 0, true, [next](Random& r, size_t) {
                        if (Chance(r, 0.6)) return std::string();
                        *next += Uniform(r, 1, 4);
                        return std::to_string(*next);
                      }};
      },
  };
}

std::vector<Column> TinyColumns(Random& random) {
  auto code = [](uint8_t length) {
    return Text("CODE", length, [length](Random& r, size_t) {
      std::string t;
      for (uint8_t i = 0; i < length; ++i) t += static_cast<char>('A' + Uniform(r, 0, 5));
      return t;
    });
  };
  const Column logical{"OK", 'L', 1, 0, false, [](Random& r, size_t) { return std::string(Chance(r, 0.5) ? "T" : "F"); }};
  const Column quantity{"QTY", 'N', 3, 0, true, [](Random& r, size_t) { return std::to_string(Uniform(r, 0, 250)); }};
  const Column country = Text("CC", 2, [](Random& r, size_t) { return Pick(r, kCountryCodes); });
  switch (Uniform(random, 0, 5)) {
    case 0: return {logical};
    case 1: return {country};
    case 2: return {code(3), logical};
    case 3: return {quantity, logical};
    case 4: return {country, quantity};
    default: return {code(6)};
  }
}

std::vector<Column> ChooseColumns(TableKind kind, Random& random) {
  if (kind == TableKind::kTiny) return TinyColumns(random);
  if (kind == TableKind::kRepetitive) kind = Chance(random, 0.5) ? TableKind::kTyped : TableKind::kText;
  std::vector<ColumnMaker> text = TextColumns();
  std::vector<ColumnMaker> typed = TypedColumns();
  std::shuffle(text.begin(), text.end(), random);
  std::shuffle(typed.begin(), typed.end(), random);
  std::vector<Column> columns;
  if (kind == TableKind::kText) {
    const size_t count = Uniform(random, 3, 8);
    for (size_t i = 0; i < count; ++i) columns.push_back(text[i](random));
    return columns;
  }
  const size_t typedCount = Uniform(random, 1, 5);
  const size_t textCount = Uniform(random, 2, 6);
  for (size_t i = 0; i < typedCount; ++i) columns.push_back(typed[i](random));
  for (size_t i = 0; i < textCount; ++i) columns.push_back(text[i](random));
  std::shuffle(columns.begin(), columns.end(), random);
  // Most tables begin with their key.
  const auto id = std::find_if(columns.begin(), columns.end(), [](const Column& c) { return c.name == "ID"; });
  if (id != columns.end() && Chance(random, 0.8)) std::rotate(columns.begin(), id, id + 1);
  return columns;
}

void PutLe(Bytes& bytes, size_t at, uint64_t value, int width) {
  for (int i = 0; i < width; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

GeneratedTable MakeTable(TableKind kind, Random& random, size_t minRecords, size_t maxRecords) {
  const std::vector<Column> columns = ChooseColumns(kind, random);
  GeneratedTable table;
  table.recordLength = 1;
  for (const Column& column : columns) table.recordLength += column.length;
  table.headerLength = 32 + 32 * columns.size() + 1;
  // Sizes spread evenly on a logarithmic scale, as real tables are.
  const double low = std::log(static_cast<double>(minRecords));
  const double high = std::log(static_cast<double>(maxRecords));
  table.recordCount = static_cast<size_t>(std::exp(std::uniform_real_distribution<double>(low, high)(random)));

  Bytes& bytes = table.bytes;
  bytes.assign(32, 0);
  bytes[0] = 0x03;
  bytes[1] = 124;
  bytes[2] = static_cast<uint8_t>(Uniform(random, 1, 12));
  bytes[3] = static_cast<uint8_t>(Uniform(random, 1, 28));
  PutLe(bytes, 4, table.recordCount, 4);
  PutLe(bytes, 8, table.headerLength, 2);
  PutLe(bytes, 10, table.recordLength, 2);
  bytes[29] = 0x03;
  for (const Column& column : columns) {
    Bytes block(32, 0);
    std::copy(column.name.begin(), column.name.begin() + static_cast<std::ptrdiff_t>(std::min<size_t>(column.name.size(), 10)), block.begin());
    block[11] = static_cast<uint8_t>(column.type);
    block[16] = column.length;
    block[17] = column.decimals;
    bytes.insert(bytes.end(), block.begin(), block.end());
  }
  bytes.push_back(0x0D);

  // A repetitive table repeats one to three records for most of its rows.
  std::vector<Bytes> repeated;
  const double repeatShare = kind == TableKind::kRepetitive ? std::uniform_real_distribution<double>(0.6, 0.9)(random) : 0;
  for (size_t i = 0; i < table.recordCount; ++i) {
    if (!repeated.empty() && Chance(random, repeatShare)) {
      const Bytes& record = Pick(random, repeated);
      bytes.insert(bytes.end(), record.begin(), record.end());
      continue;
    }
    Bytes record{static_cast<uint8_t>(Chance(random, 0.03) ? 0x2A : 0x20)};
    for (const Column& column : columns) {
      std::string value = column.value(random, i);
      value = value.substr(0, column.length);
      const std::string pad(column.length - value.size(), ' ');
      value = column.rightAligned ? pad + value : value + pad;
      record.insert(record.end(), value.begin(), value.end());
    }
    if (kind == TableKind::kRepetitive && repeated.size() < Uniform(random, 1, 3)) repeated.push_back(record);
    bytes.insert(bytes.end(), record.begin(), record.end());
  }
  bytes.push_back(0x1A);
  return table;
}

const char* TableKindName(TableKind kind) {
  switch (kind) {
    case TableKind::kTyped: return "typed";
    case TableKind::kText: return "text";
    case TableKind::kTiny: return "tiny";
    case TableKind::kRepetitive: return "repetitive";
  }
  return "?";
}

}  // namespace drelin::testing
