// Compound files over libgsf: GsfInfileMSOle for reading, GsfOutfileMSOle for
// writing.
#include "platform/compound_file.h"

#include "platform/lazy_library.h"

#include <QFile>
#include <QSaveFile>

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-utils.h>

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

// libgsf (with the GObject functions it is used through), opened when the
// first compound file is read or written: a program starts without it.
struct GsfCalls {
    decltype(&::gsf_init) gsf_init = nullptr;
    decltype(&::g_object_ref) object_ref = nullptr; // g_object_ref and g_object_unref are also macros
    decltype(&::g_object_unref) object_unref = nullptr;
    decltype(&::g_error_free) g_error_free = nullptr;
    decltype(&::g_type_check_instance_is_a) g_type_check_instance_is_a = nullptr;
    decltype(&::gsf_infile_get_type) gsf_infile_get_type = nullptr;
    decltype(&::gsf_input_size) gsf_input_size = nullptr;
    decltype(&::gsf_input_tell) gsf_input_tell = nullptr;
    decltype(&::gsf_input_seek) gsf_input_seek = nullptr;
    decltype(&::gsf_input_read) gsf_input_read = nullptr;
    decltype(&::gsf_input_stdio_new) gsf_input_stdio_new = nullptr;
    decltype(&::gsf_infile_num_children) gsf_infile_num_children = nullptr;
    decltype(&::gsf_infile_child_by_index) gsf_infile_child_by_index = nullptr;
    decltype(&::gsf_infile_name_by_index) gsf_infile_name_by_index = nullptr;
    decltype(&::gsf_infile_msole_new) gsf_infile_msole_new = nullptr;
    decltype(&::gsf_outfile_new_child) gsf_outfile_new_child = nullptr;
    decltype(&::gsf_outfile_msole_new) gsf_outfile_msole_new = nullptr;
    decltype(&::gsf_output_write) gsf_output_write = nullptr;
    decltype(&::gsf_output_close) gsf_output_close = nullptr;
    decltype(&::gsf_output_stdio_new_FILE) gsf_output_stdio_new_FILE = nullptr;
    QString error; // why the library cannot be used; empty when it can
};

const GsfCalls& Gsf()
{
    return LibraryCalls<GsfCalls>(GSF_SONAME, [](LazyLibrary& lib, GsfCalls& calls) {
        const bool all = lib.resolve(calls.gsf_init, "gsf_init") &&
                         lib.resolve(calls.object_ref, "g_object_ref") &&
                         lib.resolve(calls.object_unref, "g_object_unref") &&
                         lib.resolve(calls.g_error_free, "g_error_free") &&
                         lib.resolve(calls.g_type_check_instance_is_a, "g_type_check_instance_is_a") &&
                         lib.resolve(calls.gsf_infile_get_type, "gsf_infile_get_type") &&
                         lib.resolve(calls.gsf_input_size, "gsf_input_size") &&
                         lib.resolve(calls.gsf_input_tell, "gsf_input_tell") &&
                         lib.resolve(calls.gsf_input_seek, "gsf_input_seek") &&
                         lib.resolve(calls.gsf_input_read, "gsf_input_read") &&
                         lib.resolve(calls.gsf_input_stdio_new, "gsf_input_stdio_new") &&
                         lib.resolve(calls.gsf_infile_num_children, "gsf_infile_num_children") &&
                         lib.resolve(calls.gsf_infile_child_by_index, "gsf_infile_child_by_index") &&
                         lib.resolve(calls.gsf_infile_name_by_index, "gsf_infile_name_by_index") &&
                         lib.resolve(calls.gsf_infile_msole_new, "gsf_infile_msole_new") &&
                         lib.resolve(calls.gsf_outfile_new_child, "gsf_outfile_new_child") &&
                         lib.resolve(calls.gsf_outfile_msole_new, "gsf_outfile_msole_new") &&
                         lib.resolve(calls.gsf_output_write, "gsf_output_write") &&
                         lib.resolve(calls.gsf_output_close, "gsf_output_close") &&
                         lib.resolve(calls.gsf_output_stdio_new_FILE, "gsf_output_stdio_new_FILE");
        if (all)
            calls.gsf_init();
        return all;
    });
}

// False (with the reason in *error) when libgsf cannot be used.
bool loadGsf(QString* error)
{
    if (Gsf().error.isEmpty())
        return true;
    if (error != nullptr)
        *error = Gsf().error;
    return false;
}

// Owns one GObject reference.
template <class T>
class GRef {
public:
    GRef() = default;
    explicit GRef(T* object) : m_object(object) {}
    ~GRef() { reset(); }
    GRef(const GRef&) = delete;
    GRef& operator=(const GRef&) = delete;
    GRef(GRef&& other) noexcept : m_object(other.m_object) { other.m_object = nullptr; }

    T* get() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    void reset()
    {
        if (m_object != nullptr)
            Gsf().object_unref(m_object);
        m_object = nullptr;
    }

private:
    T* m_object = nullptr;
};

void setError(QString* error, const QString& text)
{
    if (error != nullptr)
        *error = text;
}

QString takeGError(GError* err, const char* fallback)
{
    QString text = err != nullptr && err->message != nullptr ? QString::fromUtf8(err->message)
                                                             : QString::fromUtf8(fallback);
    if (err != nullptr)
        Gsf().g_error_free(err);
    return text;
}

// ---- reading ----

class GsfStream : public Stream {
public:
    explicit GsfStream(GsfInput* input) : m_input(input) {}

    std::uint64_t size() const override { return static_cast<std::uint64_t>(Gsf().gsf_input_size(m_input.get())); }
    std::uint64_t position() const override { return static_cast<std::uint64_t>(Gsf().gsf_input_tell(m_input.get())); }

    bool seek(std::uint64_t pos) override
    {
        if (pos > size())
            return false;
        // gsf_input_seek returns TRUE on failure.
        return !Gsf().gsf_input_seek(m_input.get(), static_cast<gsf_off_t>(pos), G_SEEK_SET);
    }

    std::uint64_t read(void* data, std::uint64_t count) override
    {
        const std::uint64_t left = size() - position();
        const std::uint64_t n = count < left ? count : left;
        if (n == 0)
            return 0;
        if (Gsf().gsf_input_read(m_input.get(), static_cast<size_t>(n), static_cast<guint8*>(data)) == nullptr)
            return 0;
        return n;
    }

    bool write(const void*, std::uint64_t) override { return false; }

private:
    GRef<GsfInput> m_input;
};

class GsfStorage : public Storage {
public:
    explicit GsfStorage(GsfInfile* infile) : m_infile(infile) {}

    bool isReadOnly() const override { return true; }

    std::vector<StorageEntry> entries() const override
    {
        std::vector<StorageEntry> out;
        const int n = Gsf().gsf_infile_num_children(m_infile.get());
        for (int i = 0; i < n; ++i) {
            GRef<GsfInput> child(Gsf().gsf_infile_child_by_index(m_infile.get(), i));
            const char* name = Gsf().gsf_infile_name_by_index(m_infile.get(), i);
            if (!child || name == nullptr)
                continue;
            const bool storage = isStorage(child.get());
            out.push_back({QString::fromUtf8(name), storage,
                           storage ? 0 : static_cast<std::uint64_t>(Gsf().gsf_input_size(child.get()))});
        }
        return out;
    }

    std::unique_ptr<Stream> openStream(const QString& name) override
    {
        GRef<GsfInput> child = openChild(name);
        if (!child || isStorage(child.get()))
            return nullptr;
        return std::make_unique<GsfStream>(static_cast<GsfInput*>(Gsf().object_ref(child.get())));
    }

    std::unique_ptr<Storage> openStorage(const QString& name) override
    {
        GRef<GsfInput> child = openChild(name);
        if (!child || !isStorage(child.get()))
            return nullptr;
        return std::make_unique<GsfStorage>(reinterpret_cast<GsfInfile*>(Gsf().object_ref(child.get())));
    }

    std::unique_ptr<Stream> createStream(const QString&) override { return nullptr; }
    std::unique_ptr<Storage> createStorage(const QString&) override { return nullptr; }

private:
    static bool isStorage(GsfInput* input)
    {
        return Gsf().g_type_check_instance_is_a(reinterpret_cast<GTypeInstance*>(input), Gsf().gsf_infile_get_type()) && Gsf().gsf_infile_num_children(reinterpret_cast<GsfInfile*>(input)) >= 0;
    }

    GRef<GsfInput> openChild(const QString& name) const
    {
        const int n = Gsf().gsf_infile_num_children(m_infile.get());
        for (int i = 0; i < n; ++i) {
            const char* childName = Gsf().gsf_infile_name_by_index(m_infile.get(), i);
            if (childName != nullptr && QString::fromUtf8(childName).compare(name, Qt::CaseInsensitive) == 0)
                return GRef<GsfInput>(Gsf().gsf_infile_child_by_index(m_infile.get(), i));
        }
        return GRef<GsfInput>();
    }

    GRef<GsfInfile> m_infile;
};

// ---- writing ----

constexpr std::size_t kCopyChunk = 1 << 20;

bool writeTree(Storage& source, GsfOutfile* target, std::vector<char>& buffer, QString* error)
{
    for (const StorageEntry& entry : source.entries()) {
        const QByteArray name = entry.name.toUtf8();
        GRef<GsfOutput> child(Gsf().gsf_outfile_new_child(target, name.constData(), entry.isStorage));
        if (!child) {
            setError(error, QStringLiteral("cannot create the entry \"%1\"").arg(entry.name));
            return false;
        }
        if (entry.isStorage) {
            std::unique_ptr<Storage> sub = source.openStorage(entry.name);
            if (!sub) {
                setError(error, QStringLiteral("cannot open the storage \"%1\"").arg(entry.name));
                return false;
            }
            if (!writeTree(*sub, reinterpret_cast<GsfOutfile*>(child.get()), buffer, error))
                return false;
        } else {
            std::unique_ptr<Stream> stream = source.openStream(entry.name);
            if (!stream || !stream->seek(0)) {
                setError(error, QStringLiteral("cannot open the stream \"%1\"").arg(entry.name));
                return false;
            }
            const std::uint64_t size = stream->size();
            // A stream held in memory is written from there, in the same
            // pieces as a copied one.
            const QByteArray* held = stream->heldBytes();
            if (held != nullptr && static_cast<std::uint64_t>(held->size()) != size)
                held = nullptr;
            std::uint64_t copied = 0;
            while (copied < size) {
                const std::uint64_t n =
                    held != nullptr ? std::min<std::uint64_t>(size - copied, buffer.size())
                                    : stream->read(buffer.data(), buffer.size());
                if (n == 0)
                    break;
                const char* from = held != nullptr ? held->constData() + copied : buffer.data();
                if (!Gsf().gsf_output_write(child.get(), static_cast<size_t>(n), reinterpret_cast<const guint8*>(from))) {
                    setError(error, QStringLiteral("cannot write the stream \"%1\"").arg(entry.name));
                    return false;
                }
                copied += n;
            }
            if (copied != size) {
                setError(error, QStringLiteral("cannot read the stream \"%1\"").arg(entry.name));
                return false;
            }
        }
        if (!Gsf().gsf_output_close(child.get())) {
            setError(error, QStringLiteral("cannot finish the entry \"%1\"").arg(entry.name));
            return false;
        }
    }
    return true;
}

bool writeStreamed(const StreamedStream& streamed, GsfOutfile* target, QString* error)
{
    const QByteArray name = streamed.name.toUtf8();
    GRef<GsfOutput> child(isValidStorageName(streamed.name) ? Gsf().gsf_outfile_new_child(target, name.constData(), FALSE)
                                                            : nullptr);
    if (!child) {
        setError(error, QStringLiteral("cannot create the entry \"%1\"").arg(streamed.name));
        return false;
    }
    bool written = true;
    const StreamedStream::Write write = [&](QByteArrayView bytes) {
        if (written && !bytes.isEmpty())
            written = Gsf().gsf_output_write(child.get(), static_cast<size_t>(bytes.size()),
                                       reinterpret_cast<const guint8*>(bytes.data()));
        return written;
    };
    QString reason;
    const bool produced = streamed.produce && streamed.produce(write, &reason);
    if (!written) {
        setError(error, QStringLiteral("cannot write the stream \"%1\"").arg(streamed.name));
        return false;
    }
    if (!produced) {
        setError(error, reason.isEmpty() ? QStringLiteral("cannot make the stream \"%1\"").arg(streamed.name) : reason);
        return false;
    }
    if (!Gsf().gsf_output_close(child.get())) {
        setError(error, QStringLiteral("cannot finish the entry \"%1\"").arg(streamed.name));
        return false;
    }
    return true;
}

} // namespace

std::unique_ptr<Storage> openCompoundFile(const QString& path, QString* error)
{
    if (!loadGsf(error))
        return nullptr;
    GError* err = nullptr;
    GRef<GsfInput> input(Gsf().gsf_input_stdio_new(QFile::encodeName(path).constData(), &err));
    if (!input) {
        setError(error, takeGError(err, "cannot open the file"));
        return nullptr;
    }
    GsfInfile* infile = Gsf().gsf_infile_msole_new(input.get(), &err);
    if (infile == nullptr) {
        setError(error, takeGError(err, "not a compound file"));
        return nullptr;
    }
    return std::make_unique<GsfStorage>(infile);
}

bool saveCompoundFile(Storage& root, const QString& path, QString* error)
{
    return saveCompoundFile(root, {}, path, error);
}

bool saveCompoundFile(Storage& root, const std::vector<StreamedStream>& streamed, const QString& path, QString* error)
{
    if (!loadGsf(error))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        setError(error, file.errorString());
        return false;
    }

    // libgsf writes through its own FILE on a duplicate of the temporary
    // file's descriptor; QSaveFile then syncs it and renames it over path.
    const int fd = ::dup(file.handle());
    FILE* fp = fd >= 0 ? ::fdopen(fd, "wb") : nullptr;
    if (fp == nullptr) {
        if (fd >= 0)
            ::close(fd);
        setError(error, QStringLiteral("cannot write the temporary file"));
        file.cancelWriting();
        return false;
    }
    // Closed however the save ends (a producer may throw).
    std::unique_ptr<FILE, int (*)(FILE*)> closeAtEnd(fp, &std::fclose);
    std::setvbuf(fp, nullptr, _IOFBF, 1 << 16);

    bool ok = true;
    {
        GRef<GsfOutput> sink(Gsf().gsf_output_stdio_new_FILE(QFile::encodeName(path).constData(), fp, TRUE));
        GRef<GsfOutfile> ole(sink ? Gsf().gsf_outfile_msole_new(sink.get()) : nullptr);
        if (!ole) {
            setError(error, QStringLiteral("cannot start the compound file"));
            ok = false;
        } else {
            for (const StreamedStream& s : streamed) {
                ok = writeStreamed(s, ole.get(), error);
                if (!ok)
                    break;
            }
            if (ok) {
                std::vector<char> buffer(kCopyChunk);
                ok = writeTree(root, ole.get(), buffer, error);
            }
            // Closing the root writes the directory and allocation tables.
            const bool closed = Gsf().gsf_output_close(reinterpret_cast<GsfOutput*>(ole.get()));
            if (ok && !closed) {
                setError(error, QStringLiteral("cannot finish the compound file"));
                ok = false;
            }
        }
    }
    if (std::fflush(fp) != 0 || std::ferror(fp) != 0) {
        if (ok)
            setError(error, QStringLiteral("cannot write the temporary file"));
        ok = false;
    }
    closeAtEnd.reset();

    if (!ok) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        setError(error, file.errorString());
        return false;
    }
    return true;
}

} // namespace platform
