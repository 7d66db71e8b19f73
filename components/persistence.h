// A small property stream: how a component's published properties are written and read back,
// with the hooks for properties a component defines itself and for the end of loading.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

namespace vardel {

// One property value of a stream.
struct PropertyValue {
  enum class Type : std::uint8_t { Integer, Boolean, String, Ident, Set, Binary };
  Type type = Type::Integer;
  std::int32_t integer = 0;
  bool boolean = false;
  QString text;       // String and Ident
  QStringList set;    // Set: the names of the members
  QByteArray binary;  // Binary
};

// Writes one object: a signature, the class and object names, then named values. Property
// names and identifiers are at most 255 bytes of UTF-8.
class PropertyWriter {
 public:
  PropertyWriter(const QString& className, const QString& objectName);
  void writeInteger(const QString& name, std::int32_t value);
  void writeBoolean(const QString& name, bool value);
  void writeString(const QString& name, const QString& value);
  void writeIdent(const QString& name, const QString& value);
  void writeSet(const QString& name, const QStringList& members);
  void writeBinary(const QString& name, const QByteArray& value);
  // The finished stream (ends the object).
  QByteArray finish();

 private:
  void writeName(const QString& name);
  QByteArray bytes_;
};

// Reads what PropertyWriter wrote. Bad data never crashes: it ends the reading with an error.
class PropertyReader {
 public:
  explicit PropertyReader(QByteArray bytes);
  // False (with an error) unless the stream starts with a valid signature and header.
  bool readHeader(QString& className, QString& objectName);
  // The next property; false at the end of the object, or on bad data (then error() is set).
  bool next(QString& name, PropertyValue& value);
  QString error() const { return error_; }

 private:
  bool fail(const QString& message);
  bool readByte(std::uint8_t& out);
  bool readShortString(QString& out);
  bool readLong(std::uint32_t& out);

  QByteArray bytes_;
  qsizetype at_ = 0;
  QString error_;
};

// The properties a component defines beyond its published ones (the filer of the stream).
class Filer {
 public:
  virtual ~Filer() = default;
  // A binary property: `read` gets its bytes when reading, `write` gives them when writing,
  // and it is written only when `hasData` is true.
  virtual void defineBinaryProperty(const QString& name, const std::function<void(const QByteArray&)>& read,
                                    const std::function<QByteArray()>& write, bool hasData) = 0;
};

// What a component offers to be streamed.
class StreamedComponent {
 public:
  virtual ~StreamedComponent() = default;
  virtual QString streamClassName() const = 0;
  virtual QString streamObjectName() const = 0;
  // The published properties that are to be stored, in stream order. `ancestor` is the
  // inherited instance to compare with, or null.
  virtual void writeProperties(PropertyWriter& writer, const StreamedComponent* ancestor) const = 0;
  // Sets one published property; false for a name it does not know. May throw ui::Error for a
  // value it cannot take (a broken picture).
  virtual bool readProperty(const QString& name, const PropertyValue& value) = 0;
  // The property-definition hook: called when writing (with the ancestor) and when reading.
  virtual void DefineProperties(Filer& filer, const StreamedComponent* ancestor) = 0;
  // Reading starts and ends (the component marks itself as being read and loaded).
  virtual void beginReading() = 0;
  virtual void endReading() = 0;
  // The after-loading hook, once every property has been read.
  virtual void Loaded() = 0;
};

// The component's stream.
QByteArray writeComponent(StreamedComponent& component, const StreamedComponent* ancestor = nullptr);
// Reads a stream into the component. Empty on success, else the error; the component is
// always brought out of reading and told it is loaded, so it stays usable either way.
QString readComponent(StreamedComponent& component, const QByteArray& stream);

}  // namespace vardel
