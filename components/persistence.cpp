// The property stream: format, writer, reader and the component read/write sequences.
#include "components/persistence.h"

#include "ui/events.h"

#include <map>

namespace vardel {
namespace {

// Stream layout: "VPF0", class name, object name, then properties (name, type byte, value) up
// to an empty name. Numbers are little-endian.
constexpr char kSignature[] = "VPF0";
enum Tag : std::uint8_t { tInt32 = 3, tString = 6, tIdent = 7, tFalse = 8, tTrue = 9, tBinary = 10, tSet = 11 };

// Largest binary or string value accepted (a picture of the slider is a few kilobytes).
constexpr std::uint32_t kMaxValueBytes = 16u << 20;

void appendShortString(QByteArray& out, const QString& text) {
  QByteArray utf8 = text.toUtf8();
  if (utf8.size() > 255) utf8.truncate(255);
  out.append(char(std::uint8_t(utf8.size())));
  out.append(utf8);
}

void appendLong(QByteArray& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.append(char((v >> (8 * i)) & 0xFF));
}

}  // namespace

PropertyWriter::PropertyWriter(const QString& className, const QString& objectName) {
  bytes_.append(kSignature, 4);
  appendShortString(bytes_, className);
  appendShortString(bytes_, objectName);
}

void PropertyWriter::writeName(const QString& name) { appendShortString(bytes_, name); }

void PropertyWriter::writeInteger(const QString& name, std::int32_t value) {
  writeName(name);
  bytes_.append(char(tInt32));
  appendLong(bytes_, std::uint32_t(value));
}

void PropertyWriter::writeBoolean(const QString& name, bool value) {
  writeName(name);
  bytes_.append(char(value ? tTrue : tFalse));
}

void PropertyWriter::writeString(const QString& name, const QString& value) {
  writeName(name);
  bytes_.append(char(tString));
  const QByteArray utf8 = value.toUtf8();
  appendLong(bytes_, std::uint32_t(utf8.size()));
  bytes_.append(utf8);
}

void PropertyWriter::writeIdent(const QString& name, const QString& value) {
  writeName(name);
  bytes_.append(char(tIdent));
  appendShortString(bytes_, value);
}

void PropertyWriter::writeSet(const QString& name, const QStringList& members) {
  writeName(name);
  bytes_.append(char(tSet));
  for (const QString& m : members) {
    if (!m.isEmpty()) appendShortString(bytes_, m);
  }
  bytes_.append(char(0));
}

void PropertyWriter::writeBinary(const QString& name, const QByteArray& value) {
  writeName(name);
  bytes_.append(char(tBinary));
  appendLong(bytes_, std::uint32_t(value.size()));
  bytes_.append(value);
}

QByteArray PropertyWriter::finish() {
  QByteArray out = bytes_;
  out.append(char(0));
  return out;
}

PropertyReader::PropertyReader(QByteArray bytes) : bytes_(std::move(bytes)) {}

bool PropertyReader::fail(const QString& message) {
  if (error_.isEmpty()) error_ = message;
  return false;
}

bool PropertyReader::readByte(std::uint8_t& out) {
  if (at_ >= bytes_.size()) return fail(QStringLiteral("Stream read error"));
  out = std::uint8_t(bytes_[at_++]);
  return true;
}

bool PropertyReader::readShortString(QString& out) {
  std::uint8_t length = 0;
  if (!readByte(length)) return false;
  if (bytes_.size() - at_ < length) return fail(QStringLiteral("Stream read error"));
  out = QString::fromUtf8(bytes_.constData() + at_, length);
  at_ += length;
  return true;
}

bool PropertyReader::readLong(std::uint32_t& out) {
  if (bytes_.size() - at_ < 4) return fail(QStringLiteral("Stream read error"));
  out = 0;
  for (int i = 0; i < 4; ++i) out |= std::uint32_t(std::uint8_t(bytes_[at_ + i])) << (8 * i);
  at_ += 4;
  return true;
}

bool PropertyReader::readHeader(QString& className, QString& objectName) {
  if (bytes_.size() < 4 || !bytes_.startsWith(QByteArray(kSignature, 4))) {
    return fail(QStringLiteral("Invalid stream format"));
  }
  at_ = 4;
  return readShortString(className) && readShortString(objectName);
}

bool PropertyReader::next(QString& name, PropertyValue& value) {
  if (!error_.isEmpty()) return false;
  if (!readShortString(name)) return false;
  if (name.isEmpty()) return false;  // end of the object
  std::uint8_t tag = 0;
  if (!readByte(tag)) return false;
  value = PropertyValue{};
  switch (tag) {
    case tInt32: {
      std::uint32_t v = 0;
      if (!readLong(v)) return false;
      value.type = PropertyValue::Type::Integer;
      value.integer = std::int32_t(v);
      return true;
    }
    case tFalse:
    case tTrue:
      value.type = PropertyValue::Type::Boolean;
      value.boolean = tag == tTrue;
      return true;
    case tIdent:
      value.type = PropertyValue::Type::Ident;
      return readShortString(value.text);
    case tString:
    case tBinary: {
      std::uint32_t length = 0;
      if (!readLong(length)) return false;
      if (length > kMaxValueBytes || std::uint64_t(bytes_.size() - at_) < length) {
        return fail(QStringLiteral("Stream read error"));
      }
      const QByteArray data = bytes_.mid(at_, qsizetype(length));
      at_ += qsizetype(length);
      if (tag == tString) {
        value.type = PropertyValue::Type::String;
        value.text = QString::fromUtf8(data);
      } else {
        value.type = PropertyValue::Type::Binary;
        value.binary = data;
      }
      return true;
    }
    case tSet: {
      value.type = PropertyValue::Type::Set;
      for (;;) {
        QString member;
        if (!readShortString(member)) return false;
        if (member.isEmpty()) return true;
        value.set << member;
      }
    }
    default:
      return fail(QStringLiteral("Invalid property value"));
  }
}

namespace {

class WritingFiler : public Filer {
 public:
  explicit WritingFiler(PropertyWriter& writer) : writer_(writer) {}
  void defineBinaryProperty(const QString& name, const std::function<void(const QByteArray&)>&,
                            const std::function<QByteArray()>& write, bool hasData) override {
    if (hasData && write) writer_.writeBinary(name, write());
  }

 private:
  PropertyWriter& writer_;
};

class ReadingFiler : public Filer {
 public:
  void defineBinaryProperty(const QString& name, const std::function<void(const QByteArray&)>& read,
                            const std::function<QByteArray()>&, bool) override {
    readers[name] = read;
  }
  std::map<QString, std::function<void(const QByteArray&)>> readers;
};

}  // namespace

QByteArray writeComponent(StreamedComponent& component, const StreamedComponent* ancestor) {
  PropertyWriter writer(component.streamClassName(), component.streamObjectName());
  component.writeProperties(writer, ancestor);
  WritingFiler filer(writer);
  component.DefineProperties(filer, ancestor);
  return writer.finish();
}

QString readComponent(StreamedComponent& component, const QByteArray& stream) {
  PropertyReader reader(stream);
  QString className;
  QString objectName;
  if (!reader.readHeader(className, objectName)) return reader.error();
  if (className != component.streamClassName()) return QStringLiteral("Invalid stream format");

  ReadingFiler defined;
  component.DefineProperties(defined, nullptr);
  QString error;
  component.beginReading();
  try {
    QString name;
    PropertyValue value;
    while (reader.next(name, value)) {
      if (component.readProperty(name, value)) continue;
      const auto it = defined.readers.find(name);
      if (it == defined.readers.end() || !it->second) {
        error = QStringLiteral("Property %1 does not exist").arg(name);
        break;
      }
      if (value.type != PropertyValue::Type::Binary) {
        error = QStringLiteral("Invalid property value");
        break;
      }
      it->second(value.binary);
    }
    if (error.isEmpty()) error = reader.error();
  } catch (const ui::Error& e) {
    error = e.text();
  }
  component.endReading();
  component.Loaded();
  return error;
}

}  // namespace vardel
