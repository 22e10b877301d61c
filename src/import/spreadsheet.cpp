#include "import/spreadsheet.h"

#include <csv.h>

#include "text/essay_encoding.h"

namespace tarne {

namespace {

struct Collector {
  Spreadsheet* sheet = nullptr;
  int line = 1;            // line of the text being fed
  int breaksInFields = 0;  // line breaks inside the row's fields so far
  std::vector<std::string> fields;
  bool haveHeader = false;
};

void OnField(void* data, size_t size, void* context) {
  auto* c = static_cast<Collector*>(context);
  std::string field(static_cast<const char*>(data), size);
  for (char ch : field)
    if (ch == '\n') ++c->breaksInFields;
  c->fields.push_back(std::move(field));
}

void OnRowEnd(int, void* context) {
  auto* c = static_cast<Collector*>(context);
  if (!c->haveHeader) {
    c->sheet->header = std::move(c->fields);
    c->haveHeader = true;
  } else {
    c->sheet->rows.push_back({c->line - c->breaksInFields, std::move(c->fields)});
  }
  c->fields.clear();
  c->breaksInFields = 0;
}

}  // namespace

bool ParseSpreadsheet(std::string text, Spreadsheet& out, std::string& why) {
  out = Spreadsheet();
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
  if (!IsValidUtf8(text)) {
    text = Windows1252ToUtf8(text, true);
    out.windows1252 = true;
  }
  const size_t firstBreak = text.find('\n');
  out.separator = text.substr(0, firstBreak).find('\t') != std::string::npos ? '\t' : ',';

  csv_parser parser;
  if (csv_init(&parser, CSV_APPEND_NULL) != 0) {
    why = "out of memory";
    return false;
  }
  csv_set_delim(&parser, static_cast<unsigned char>(out.separator));
  // Only blanks are trimmed around unquoted fields: a tab is a separator.
  csv_set_space_func(&parser, [](unsigned char c) { return c == ' ' ? 1 : 0; });
  Collector collector;
  collector.sheet = &out;
  // Fed a line at a time, so that each row knows the line it ends on.
  bool ok = true;
  for (size_t at = 0; at < text.size() && ok;) {
    size_t end = text.find('\n', at);
    end = end == std::string::npos ? text.size() : end + 1;
    if (csv_parse(&parser, text.data() + at, end - at, OnField, OnRowEnd, &collector) !=
        end - at)
      ok = false;
    if (text[end - 1] == '\n') ++collector.line;
    at = end;
  }
  if (ok && csv_fini(&parser, OnField, OnRowEnd, &collector) != 0) ok = false;
  if (!ok) why = csv_strerror(csv_error(&parser));
  csv_free(&parser);
  if (ok && out.header.empty()) {
    why = "the file holds no header row";
    ok = false;
  }
  return ok;
}

}  // namespace tarne
