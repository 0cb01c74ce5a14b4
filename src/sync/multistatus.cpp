#include "sync/multistatus.h"

#include <QStringList>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <functional>
#include <initializer_list>

namespace mirokata {

namespace {

constexpr char kDav[] = "DAV:";
constexpr char kCalDav[] = "urn:ietf:params:xml:ns:caldav";

bool Is(const QXmlStreamReader& xml, const char* ns, const char* name) {
  return xml.namespaceUri() == QLatin1String(ns) &&
         xml.name() == QLatin1String(name);
}

// "HTTP/1.1 404 Not Found" -> 404; 0 when it is no status line.
int StatusCode(const QString& line) {
  const QStringList parts = line.simplified().split(' ');
  if (parts.size() < 2 || !parts[0].startsWith("HTTP/")) return 0;
  bool ok = false;
  const int code = parts[1].toInt(&ok);
  return ok && code >= 100 && code <= 599 ? code : 0;
}

struct Response {
  QString href;
  int status = 0;  // of the response as a whole
  int etag_status = 0;
  QString etag;
  bool collection = false;
  bool calendar = false;
  QString sync_token;
};

class Reader {
 public:
  explicit Reader(const QByteArray& body) : xml_(body) {}

  Multistatus Read(const QUrl& base) {
    Multistatus out;
    if (!xml_.readNextStartElement() || !Is(xml_, kDav, "multistatus")) {
      out.error = xml_.hasError() ? xml_.errorString()
                                  : QStringLiteral("no multistatus element");
      return out;
    }
    std::vector<Response> responses;
    while (xml_.readNextStartElement()) {
      if (Is(xml_, kDav, "response")) {
        if (responses.size() >= kMaxMultistatusResponses) {
          out.error = QStringLiteral("too many responses");
          return out;
        }
        responses.push_back(ReadResponse());
      } else if (Is(xml_, kDav, "sync-token")) {
        out.sync_token = Text(kMaxSyncTokenBytes);
      } else {
        xml_.skipCurrentElement();
      }
    }
    if (xml_.hasError()) {
      out.error = xml_.errorString();
      return out;
    }
    const QString root = CollectionPath(base);
    for (Response& r : responses) {
      // A relative href is resolved against the collection, so ".." and
      // other hosts end up outside it.
      const QUrl url = base.resolved(QUrl(r.href));
      if (r.href.isEmpty() || !url.isValid() || url.scheme() != base.scheme() ||
          url.host() != base.host() || url.port(-1) != base.port(-1)) {
        ++out.ignored;
        continue;
      }
      QString path = url.path(QUrl::FullyDecoded);
      if (path + "/" == root) path = root;
      if (!path.startsWith(root)) {
        ++out.ignored;
        continue;
      }
      QString name = path.mid(root.size());
      if (name.endsWith('/')) name.chop(1);
      if (name.contains('/') || name == "." || name == "..") {
        ++out.ignored;
        continue;
      }
      DavMember m;
      m.name = name;
      m.collection = r.collection;
      m.calendar = r.calendar;
      m.etag = r.etag;
      m.status =
          r.status != 0 ? r.status : (r.etag_status ? r.etag_status : 200);
      if (name.isEmpty()) {
        if (out.sync_token.isEmpty()) out.sync_token = r.sync_token;
        if (r.status == 507) out.truncated = true;
      }
      out.members.push_back(std::move(m));
    }
    out.ok = true;
    return out;
  }

 private:
  QString Text(qsizetype limit) {
    QString text = xml_.readElementText(QXmlStreamReader::SkipChildElements);
    if (text.size() > limit) {
      xml_.raiseError(QStringLiteral("value too long"));
      return {};
    }
    return text.trimmed();
  }

  Response ReadResponse() {
    Response r;
    while (xml_.readNextStartElement()) {
      if (Is(xml_, kDav, "href")) {
        r.href = Text(kMaxHrefBytes);
      } else if (Is(xml_, kDav, "status")) {
        r.status = StatusCode(Text(256));
      } else if (Is(xml_, kDav, "propstat")) {
        ReadPropstat(&r);
      } else {
        xml_.skipCurrentElement();
      }
    }
    return r;
  }

  void ReadPropstat(Response* r) {
    Response props;
    bool have_etag = false;
    int status = 0;
    while (xml_.readNextStartElement()) {
      if (Is(xml_, kDav, "status")) {
        status = StatusCode(Text(256));
      } else if (Is(xml_, kDav, "prop")) {
        while (xml_.readNextStartElement()) {
          if (Is(xml_, kDav, "getetag")) {
            props.etag = Text(kMaxEtagBytes);
            have_etag = true;
          } else if (Is(xml_, kDav, "sync-token")) {
            props.sync_token = Text(kMaxSyncTokenBytes);
          } else if (Is(xml_, kDav, "resourcetype")) {
            while (xml_.readNextStartElement()) {
              if (Is(xml_, kDav, "collection")) props.collection = true;
              if (Is(xml_, kCalDav, "calendar")) props.calendar = true;
              xml_.skipCurrentElement();
            }
          } else {
            xml_.skipCurrentElement();
          }
        }
      } else {
        xml_.skipCurrentElement();
      }
    }
    // Properties the server could not give (404 propstat) say nothing.
    if (status != 200) return;
    if (have_etag) {
      r->etag = props.etag;
      r->etag_status = status;
    }
    r->collection |= props.collection;
    r->calendar |= props.calendar;
    if (!props.sync_token.isEmpty()) r->sync_token = props.sync_token;
  }

  QXmlStreamReader xml_;
};

QByteArray Body(const char* root, const char* root_ns,
                const std::function<void(QXmlStreamWriter&)>& fill) {
  QByteArray out;
  QXmlStreamWriter xml(&out);
  xml.writeStartDocument();
  xml.writeNamespace(kDav, "d");
  xml.writeNamespace(kCalDav, "c");
  xml.writeStartElement(root_ns, root);
  fill(xml);
  xml.writeEndElement();
  xml.writeEndDocument();
  return out;
}

void Props(QXmlStreamWriter& xml, std::initializer_list<const char*> names) {
  xml.writeStartElement(kDav, "prop");
  for (const char* name : names) xml.writeEmptyElement(kDav, name);
  xml.writeEndElement();
}

}  // namespace

QString CollectionPath(const QUrl& collection) {
  QString path = collection.path(QUrl::FullyDecoded);
  if (!path.endsWith('/')) path += '/';
  return path;
}

Multistatus ReadMultistatus(const QByteArray& body, const QUrl& collection) {
  return Reader(body).Read(collection);
}

QByteArray CollectionPropfindBody() {
  return Body("propfind", kDav, [](QXmlStreamWriter& xml) {
    Props(xml, {"resourcetype", "displayname", "sync-token"});
  });
}

QByteArray EtagPropfindBody() {
  return Body("propfind", kDav, [](QXmlStreamWriter& xml) {
    Props(xml, {"resourcetype", "getetag"});
  });
}

QByteArray SyncCollectionBody(const QString& token) {
  return Body("sync-collection", kDav, [&](QXmlStreamWriter& xml) {
    xml.writeTextElement(kDav, "sync-token", token);
    xml.writeTextElement(kDav, "sync-level", "1");
    Props(xml, {"getetag"});
  });
}

}  // namespace mirokata
