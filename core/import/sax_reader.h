#pragma once

// libxml2's push parsers as the statement readers use them: the bytes go in
// in pieces, the elements come out as events, and no document tree is built,
// so a large file costs little more than its cells. libxml2's tokenizer is
// several times as fast as QXmlStreamReader on the large files banks write.

#include <libxml/tree.h>

#include <QByteArray>
#include <QByteArrayView>

namespace cheque::reader {

// An element's attributes as either parser hands them, asked by name: an XML
// attribute by its local name whatever prefix the writer chose, an HTML one
// in any case.
class SaxAttributes {
 public:
  // SAX2's (local name, prefix, URI, value start, value end), `count` of them.
  static SaxAttributes Xml(const xmlChar** attributes, int count);
  // HTML's (name, value) pairs, ending in a null name.
  static SaxAttributes Html(const xmlChar** attributes);
  // Empty when the element has none of that name.
  QByteArrayView Value(const char* name) const;

 private:
  const xmlChar** attributes_ = nullptr;
  int count_ = 0;
  bool html_ = false;
};

// A reader's side of the parse. Element names are local names (HTML's as
// written); text comes in pieces, a CDATA section's too.
class SaxReader {
 public:
  virtual ~SaxReader() = default;
  virtual void Start(const xmlChar* name, const SaxAttributes& attributes) = 0;
  virtual void End(const xmlChar* name) = 0;
  virtual void Text(const xmlChar* text, int length) = 0;

  // No more events come, and the rest of the bytes are not parsed.
  void Stop();
  bool Stopped() const { return stopped_; }

 private:
  friend class XmlPushParser;
  xmlParserCtxt* parser_ = nullptr;
  bool stopped_ = false;
};

// Appends a piece of text to `bytes` as far as `limit` bytes in all.
void AppendText(QByteArray& bytes, qsizetype limit, const xmlChar* text, int length);

// An XML document fed in pieces, as they come (out of a zip, say). Nothing
// is fetched, no entity of a DTD is taken in, and nothing is said on stderr.
class XmlPushParser {
 public:
  explicit XmlPushParser(SaxReader& reader);
  ~XmlPushParser();
  XmlPushParser(const XmlPushParser&) = delete;
  XmlPushParser& operator=(const XmlPushParser&) = delete;

  // False once the parse has ended: the document is not well formed, or the
  // reader stopped it.
  bool Feed(QByteArrayView bytes);
  // Whether the document was read whole and well formed, unstopped.
  bool Finish();

 private:
  bool Start(QByteArrayView& bytes);
  SaxReader& reader_;
  xmlParserCtxt* parser_ = nullptr;
  bool failed_ = false;
};

// A whole XML document in memory, in pieces.
bool ParseXml(QByteArrayView bytes, SaxReader& reader);

// A web page in the encoding given (a <meta> naming another is not obeyed),
// taken as a browser takes tag soup; false when libxml2 knows no such
// encoding. Scripts' and styles' text is no text of the page.
bool ParseHtml(QByteArrayView bytes, const QByteArray& encoding, SaxReader& reader);

}  // namespace cheque::reader
