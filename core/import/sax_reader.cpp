#include "core/import/sax_reader.h"

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <algorithm>
#include <memory>

namespace cheque::reader {
namespace {

constexpr qsizetype kChunkBytes = 256 * 1024;

const xmlChar* Name(const char* name) { return reinterpret_cast<const xmlChar*>(name); }
const char* Chars(const xmlChar* text) { return reinterpret_cast<const char*>(text); }

SaxReader* Reader(void* context) {
  return static_cast<SaxReader*>(static_cast<xmlParserCtxt*>(context)->_private);
}

void OnXmlStart(void* context, const xmlChar* name, const xmlChar*, const xmlChar*, int,
                const xmlChar**, int count, int, const xmlChar** attributes) {
  SaxReader* reader = Reader(context);
  if (!reader->Stopped()) reader->Start(name, SaxAttributes::Xml(attributes, count));
}
void OnXmlEnd(void* context, const xmlChar* name, const xmlChar*, const xmlChar*) {
  SaxReader* reader = Reader(context);
  if (!reader->Stopped()) reader->End(name);
}
void OnHtmlStart(void* context, const xmlChar* name, const xmlChar** attributes) {
  SaxReader* reader = Reader(context);
  if (!reader->Stopped()) reader->Start(name, SaxAttributes::Html(attributes));
}
void OnHtmlEnd(void* context, const xmlChar* name) {
  SaxReader* reader = Reader(context);
  if (!reader->Stopped()) reader->End(name);
}
void OnText(void* context, const xmlChar* text, int length) {
  SaxReader* reader = Reader(context);
  if (!reader->Stopped() && length > 0) reader->Text(text, length);
}
void OnNothing(void*, const xmlChar*, int) {}

struct HtmlParserDeleter {
  void operator()(htmlParserCtxt* parser) const {
    if (parser->myDoc) xmlFreeDoc(parser->myDoc);
    htmlFreeParserCtxt(parser);
  }
};

}  // namespace

SaxAttributes SaxAttributes::Xml(const xmlChar** attributes, int count) {
  SaxAttributes made;
  made.attributes_ = attributes;
  made.count_ = count;
  return made;
}

SaxAttributes SaxAttributes::Html(const xmlChar** attributes) {
  SaxAttributes made;
  made.attributes_ = attributes;
  made.html_ = true;
  return made;
}

QByteArrayView SaxAttributes::Value(const char* name) const {
  if (html_) {
    for (const xmlChar** a = attributes_; a && a[0]; a += 2) {
      if (a[1] && xmlStrcasecmp(a[0], Name(name)) == 0) return QByteArrayView(Chars(a[1]));
    }
    return {};
  }
  for (int i = 0; i < count_; ++i) {
    const xmlChar** a = attributes_ + 5 * i;
    if (xmlStrEqual(a[0], Name(name))) return QByteArrayView(Chars(a[3]), Chars(a[4]));
  }
  return {};
}

void AppendText(QByteArray& bytes, qsizetype limit, const xmlChar* text, int length) {
  const qsizetype room = std::min<qsizetype>(length, limit - bytes.size());
  if (room > 0) bytes.append(Chars(text), room);
}

void SaxReader::Stop() {
  stopped_ = true;
  // The XML parser halts at once; the HTML one is only fed no more, its
  // events let go, as it is not made to halt in the middle of a tag.
  if (parser_) xmlStopParser(parser_);
}

XmlPushParser::XmlPushParser(SaxReader& reader) : reader_(reader) {}

XmlPushParser::~XmlPushParser() {
  if (!parser_) return;
  reader_.parser_ = nullptr;
  if (parser_->myDoc) xmlFreeDoc(parser_->myDoc);
  xmlFreeParserCtxt(parser_);
}

// The first bytes tell the parser the encoding.
bool XmlPushParser::Start(QByteArrayView& bytes) {
  static const xmlSAXHandler kSax = [] {
    xmlSAXHandler sax{};
    sax.initialized = XML_SAX2_MAGIC;
    sax.startElementNs = OnXmlStart;
    sax.endElementNs = OnXmlEnd;
    sax.characters = OnText;
    sax.cdataBlock = OnText;
    return sax;
  }();
  const qsizetype head = std::min<qsizetype>(4, bytes.size());
  parser_ = xmlCreatePushParserCtxt(const_cast<xmlSAXHandler*>(&kSax), nullptr, bytes.data(),
                                    static_cast<int>(head), nullptr);
  if (!parser_) return false;
  bytes = bytes.sliced(head);
  xmlCtxtUseOptions(parser_, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  parser_->_private = &reader_;
  reader_.parser_ = parser_;
  return true;
}

bool XmlPushParser::Feed(QByteArrayView bytes) {
  if (failed_ || reader_.Stopped()) return false;
  if (bytes.isEmpty()) return true;
  if (!parser_ && !Start(bytes)) {
    failed_ = true;
    return false;
  }
  while (!bytes.isEmpty()) {
    const qsizetype size = std::min(kChunkBytes, bytes.size());
    xmlParseChunk(parser_, bytes.data(), static_cast<int>(size), 0);
    // A namespace's fault leaves the elements as they are, by local name.
    if (!parser_->wellFormed || reader_.Stopped()) {
      failed_ = true;
      return false;
    }
    bytes = bytes.sliced(size);
  }
  return true;
}

bool XmlPushParser::Finish() {
  if (!parser_ || failed_ || reader_.Stopped()) return false;
  xmlParseChunk(parser_, nullptr, 0, 1);
  return parser_->wellFormed && !reader_.Stopped();
}

bool ParseXml(QByteArrayView bytes, SaxReader& reader) {
  XmlPushParser parser(reader);
  parser.Feed(bytes);
  return parser.Finish();
}

bool ParseHtml(QByteArrayView bytes, const QByteArray& encoding, SaxReader& reader) {
  htmlSAXHandler sax{};
  sax.startElement = OnHtmlStart;
  sax.endElement = OnHtmlEnd;
  sax.characters = OnText;
  sax.ignorableWhitespace = OnText;
  sax.cdataBlock = OnNothing;  // a script's or style's text
  std::unique_ptr<htmlParserCtxt, HtmlParserDeleter> parser(
      htmlCreatePushParserCtxt(&sax, nullptr, nullptr, 0, nullptr, XML_CHAR_ENCODING_NONE));
  if (!parser) return false;
  parser->_private = &reader;
  htmlCtxtUseOptions(parser.get(), HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                                       HTML_PARSE_NONET);
  xmlCharEncodingHandler* handler = xmlFindCharEncodingHandler(encoding.constData());
  if (!handler || xmlSwitchToEncoding(parser.get(), handler) != 0) return false;
  if (parser->input) {
    xmlFree(const_cast<xmlChar*>(parser->input->encoding));
    parser->input->encoding = xmlStrdup(Name(encoding.constData()));
  }
  for (qsizetype at = 0; at < bytes.size() && !reader.Stopped(); at += kChunkBytes) {
    const int size = static_cast<int>(std::min(kChunkBytes, bytes.size() - at));
    if (htmlParseChunk(parser.get(), bytes.data() + at, size, 0) != 0 &&
        parser->instate == XML_PARSER_EOF) {
      break;
    }
  }
  if (!reader.Stopped()) htmlParseChunk(parser.get(), nullptr, 0, 1);
  return true;
}

}  // namespace cheque::reader
