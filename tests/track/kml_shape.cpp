#include "tests/track/kml_shape.h"

#include <set>

namespace track_testing {

namespace {

const char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n";
const std::set<std::string> kLeaves = {"name", "visibility", "color", "width", "coordinates"};

bool OnlyCrLfBreaks(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) return false;
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
  }
  return true;
}

void SplitPoints(const std::string& content, std::vector<std::string>& points) {
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find("\r\n", start);
    if (end == std::string::npos) end = content.size();
    if (end > start) points.push_back(content.substr(start, end - start));
    start = end + 2;
  }
}

class ShapeReader {
 public:
  explicit ShapeReader(const std::string& text) : text_(text) {}

  KmlShape Read() {
    shape_.well_formed = ReadAll();
    return shape_;
  }

 private:
  bool Fail(const std::string& fault) {
    shape_.fault = fault;
    return false;
  }

  bool ReadAll() {
    if (text_.compare(0, sizeof kDeclaration - 1, kDeclaration) != 0) return Fail("no XML declaration");
    if (!OnlyCrLfBreaks(text_)) return Fail("a line break other than CR LF");
    for (size_t i = sizeof kDeclaration - 1; i < text_.size();) {
      if (!(text_[i] == '<' ? Tag(i) : Text(i))) return false;
    }
    return root_closed_ || Fail("document not closed");
  }

  bool Tag(size_t& i) {
    size_t close = text_.find('>', i);
    if (close == std::string::npos) return Fail("unended tag");
    std::string body = text_.substr(i + 1, close - i - 1);
    i = close + 1;
    if (body.empty()) return Fail("empty tag");
    if (!body.empty() && body[0] == '/') {
      if (open_.empty() || open_.back() != body.substr(1))
        return Fail("mismatched </" + body.substr(1) + ">");
      if (open_.back() == "coordinates") SplitPoints(coordinates_, shape_.points);
      open_.pop_back();
      root_closed_ = open_.empty();
      return true;
    }
    std::string name = body.substr(0, body.find(' '));
    if (open_.empty() && (root_closed_ || name != "Document")) return Fail("a second root or not a Document");
    if (body.back() == '/') return true;
    open_.push_back(name);
    if (name == "coordinates") coordinates_.clear();
    return true;
  }

  bool Text(size_t& i) {
    size_t end = text_.find('<', i);
    if (end == std::string::npos) end = text_.size();
    std::string run = text_.substr(i, end - i);
    i = end;
    if (run.find_first_not_of(" \r\n") == std::string::npos) {
      if (!open_.empty() && open_.back() == "coordinates") coordinates_ += run;
      return true;
    }
    if (open_.empty() || kLeaves.count(open_.back()) == 0) return Fail("text outside a leaf: " + run);
    if (open_.back() == "coordinates") coordinates_ += run;
    return true;
  }

  const std::string& text_;
  KmlShape shape_;
  std::vector<std::string> open_;
  std::string coordinates_;
  bool root_closed_ = false;
};

}  // namespace

KmlShape ReadKmlShape(const std::string& text) { return ShapeReader(text).Read(); }

std::vector<PointLine> PointLinesOf(const std::string& text) {
  const std::string start = "<coordinates>";
  std::vector<PointLine> lines;
  for (size_t block = text.find(start); block != std::string::npos; block = text.find(start, block + 1)) {
    size_t end = text.find("</coordinates>", block);
    for (size_t line = block + start.size(); line < end;) {
      size_t line_end = text.find("\r\n", line);
      lines.push_back({text.substr(line, line_end - line), line_end + 2});
      line = line_end + 2;
    }
  }
  return lines;
}

}  // namespace track_testing
