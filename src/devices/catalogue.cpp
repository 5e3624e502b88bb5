#include "devices/catalogue.h"

#include "devices/catalogue_rows.h"

const std::vector<TDevInfo>& BuiltInCatalogue() {
  static const std::vector<TDevInfo> rows = [] {
    std::vector<TDevInfo> all;
    all.reserve(400);
    catalogue::AppendMemoryRows(all);
    catalogue::AppendMcuRows(all);
    catalogue::AppendPicRows(all);
    return all;
  }();
  return rows;
}
