#include "zip_package.h"

#include "platform/lazy_library.h"

#include <zip.h>

#include <memory>

namespace {

// libzip, opened on the first export (only the word-processor export
// writes zip files).
struct LibzipCalls {
    decltype(&::zip_close) zip_close = nullptr;
    decltype(&::zip_discard) zip_discard = nullptr;
    decltype(&::zip_error_fini) zip_error_fini = nullptr;
    decltype(&::zip_error_init) zip_error_init = nullptr;
    decltype(&::zip_error_strerror) zip_error_strerror = nullptr;
    decltype(&::zip_file_add) zip_file_add = nullptr;
    decltype(&::zip_open_from_source) zip_open_from_source = nullptr;
    decltype(&::zip_set_file_compression) zip_set_file_compression = nullptr;
    decltype(&::zip_source_buffer) zip_source_buffer = nullptr;
    decltype(&::zip_source_buffer_create) zip_source_buffer_create = nullptr;
    decltype(&::zip_source_close) zip_source_close = nullptr;
    decltype(&::zip_source_free) zip_source_free = nullptr;
    decltype(&::zip_source_keep) zip_source_keep = nullptr;
    decltype(&::zip_source_open) zip_source_open = nullptr;
    decltype(&::zip_source_read) zip_source_read = nullptr;
    decltype(&::zip_source_stat) zip_source_stat = nullptr;
    decltype(&::zip_stat_init) zip_stat_init = nullptr;
    decltype(&::zip_strerror) zip_strerror = nullptr;
    QString error; // why libzip cannot be used; empty when it can
};

const LibzipCalls& Libzip()
{
    return platform::LibraryCalls<LibzipCalls>(LIBZIP_SONAME, [](platform::LazyLibrary& lib, LibzipCalls& calls) {
        return lib.resolve(calls.zip_close, "zip_close") &&
               lib.resolve(calls.zip_discard, "zip_discard") &&
               lib.resolve(calls.zip_error_fini, "zip_error_fini") &&
               lib.resolve(calls.zip_error_init, "zip_error_init") &&
               lib.resolve(calls.zip_error_strerror, "zip_error_strerror") &&
               lib.resolve(calls.zip_file_add, "zip_file_add") &&
               lib.resolve(calls.zip_open_from_source, "zip_open_from_source") &&
               lib.resolve(calls.zip_set_file_compression, "zip_set_file_compression") &&
               lib.resolve(calls.zip_source_buffer, "zip_source_buffer") &&
               lib.resolve(calls.zip_source_buffer_create, "zip_source_buffer_create") &&
               lib.resolve(calls.zip_source_close, "zip_source_close") &&
               lib.resolve(calls.zip_source_free, "zip_source_free") &&
               lib.resolve(calls.zip_source_keep, "zip_source_keep") &&
               lib.resolve(calls.zip_source_open, "zip_source_open") &&
               lib.resolve(calls.zip_source_read, "zip_source_read") &&
               lib.resolve(calls.zip_source_stat, "zip_source_stat") &&
               lib.resolve(calls.zip_stat_init, "zip_stat_init") &&
               lib.resolve(calls.zip_strerror, "zip_strerror");
    });
}

QString ErrorText(zip_error_t* error)
{
    return QString::fromUtf8(Libzip().zip_error_strerror(error));
}

struct SourceCloser {
    void operator()(zip_source_t* source) const { Libzip().zip_source_free(source); }
};

} // namespace

QByteArray ZipPackage(const std::vector<ZipPart>& parts, QString* error)
{
    auto fail = [error](const QString& text) {
        if (error != nullptr)
            *error = text;
        return QByteArray();
    };
    const LibzipCalls& z = Libzip();
    if (!z.error.isEmpty())
        return fail(z.error);
    zip_error_t zerr;
    z.zip_error_init(&zerr);
    std::unique_ptr<zip_source_t, SourceCloser> buffer(z.zip_source_buffer_create(nullptr, 0, 0, &zerr));
    if (!buffer) {
        const QString text = ErrorText(&zerr);
        z.zip_error_fini(&zerr);
        return fail(text);
    }
    zip_t* archive = z.zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &zerr);
    if (archive == nullptr) {
        const QString text = ErrorText(&zerr);
        z.zip_error_fini(&zerr);
        return fail(text);
    }
    z.zip_error_fini(&zerr);
    // The buffer source outlives the archive: its bytes are the result.
    z.zip_source_keep(buffer.get());
    for (const ZipPart& part : parts) {
        zip_source_t* source = z.zip_source_buffer(archive, part.bytes.constData(), zip_uint64_t(part.bytes.size()), 0);
        if (source == nullptr) {
            const QString text = QString::fromUtf8(z.zip_strerror(archive));
            z.zip_discard(archive);
            return fail(text);
        }
        const QByteArray name = part.name.toUtf8();
        const zip_int64_t index = z.zip_file_add(archive, name.constData(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
        if (index < 0) {
            const QString text = QString::fromUtf8(z.zip_strerror(archive));
            z.zip_source_free(source);
            z.zip_discard(archive);
            return fail(text);
        }
        z.zip_set_file_compression(archive, zip_uint64_t(index), part.compress ? ZIP_CM_DEFLATE : ZIP_CM_STORE,
                                 part.compress ? 6 : 0);
    }
    if (z.zip_close(archive) != 0) {
        const QString text = QString::fromUtf8(z.zip_strerror(archive));
        z.zip_discard(archive);
        return fail(text);
    }
    zip_source_t* source = buffer.get();
    if (z.zip_source_open(source) != 0)
        return fail(QStringLiteral("cannot read the package"));
    QByteArray out;
    zip_stat_t st;
    z.zip_stat_init(&st);
    if (z.zip_source_stat(source, &st) == 0 && (st.valid & ZIP_STAT_SIZE) != 0) {
        out.resize(qsizetype(st.size));
        zip_int64_t got = 0;
        while (got < zip_int64_t(st.size)) {
            const zip_int64_t n = z.zip_source_read(source, out.data() + got, st.size - zip_uint64_t(got));
            if (n <= 0)
                break;
            got += n;
        }
        out.resize(qsizetype(got));
        if (got != zip_int64_t(st.size))
            out.clear();
    }
    z.zip_source_close(source);
    if (out.isEmpty())
        return fail(QStringLiteral("cannot read the package"));
    return out;
}
