#!/usr/bin/env python3
"""Writes the seed packages of the ZIP reader's fuzz target into corpus/."""
import io
import os
import zipfile

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
os.makedirs(here, exist_ok=True)
stamp = (2021, 3, 4, 8, 43, 14)


def package(name, entries, prefix=b"", comment=b"", stream=False):
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w") as archive:
        archive.comment = comment
        for entry_name, data, method in entries:
            info = zipfile.ZipInfo(entry_name, stamp)
            info.compress_type = method
            if stream:
                # Written as a stream: sizes follow the data in a descriptor.
                with archive.open(info, "w") as out:
                    out.write(data)
            else:
                archive.writestr(info, data)
    with open(os.path.join(here, name), "wb") as out:
        out.write(prefix + buffer.getvalue())


text = b"".join(b"line %d of the item list\n" % i for i in range(60))
package("stored.zip", [("a.txt", b"hello", zipfile.ZIP_STORED)])
package("deflated.zip", [("items/a/b.txt", text, zipfile.ZIP_DEFLATED)])
package("folders.zip", [("dir/", b"", zipfile.ZIP_STORED),
                        ("dir/x.bin", bytes(range(256)), zipfile.ZIP_DEFLATED)])
package("descriptor.zip", [("s.txt", text, zipfile.ZIP_DEFLATED)], stream=True)
package("prefix-comment.zip", [("p.txt", b"stub", zipfile.ZIP_DEFLATED)],
        prefix=b"MZ" + bytes(200), comment=b"package comment")
package("traversal.zip", [("../up.txt", b"x", zipfile.ZIP_STORED),
                          ("C:\\win.txt", b"y", zipfile.ZIP_DEFLATED)])
