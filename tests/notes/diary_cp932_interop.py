"""Diary pages against Python's cp932 codec, both ways.

Pages this program writes decode as cp932 without a single error, with CR LF
line ends and the header lines in their order; pages written by Python (LF
only, lower-case keys) read back with their Japanese text.
"""
import os
import subprocess
import sys
import tempfile

tool = sys.argv[1]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


with tempfile.TemporaryDirectory() as folder:
    subprocess.run([tool, "write", folder], check=True)
    for name in ("20240501.JNL", "20240502.JNL", "20240503.JNL", "export.JNL"):
        data = open(os.path.join(folder, name), "rb").read()
        text = data.decode("cp932")  # strict: any undecodable byte fails
        check("\n" not in text.replace("\r\n", ""), name + ": bare line end")
        check("\r" not in text.replace("\r\n", ""), name + ": bare CR")
        header = text.split("\r\n:END\r\n", 1)[0].split("\r\n")
        check(os.stat(os.path.join(folder, name)).st_mode & 0o777 == 0o600,
              name + ": mode")
        if name == "20240501.JNL":
            check(header == ["TITLE:日記 ～ 旅", "WEATHER:晴 のち 雨",
                             "CODE:RTF", "JPG:/home/u/写真.jpg",
                             "YOV_FONTCOLOR:-2147483640",
                             "YOV_BACKCOLOR:-2147483643", "YOV_TOP:0",
                             "YOV_LEFT:0", "YOV_HEIGHT:438", "YOV_WIDTH:497",
                             "YOV_READONLY:FALSE", "MOOD:good"],
                  name + ": header " + repr(header))
            body = text.split("\r\n:END\r\n", 1)[1]
            check(body.startswith("{\\rtf1"), name + ": RTF body")
        elif name == "20240502.JNL":
            # Outside CP932: the lossless escaped form, still plain cp932.
            check(header[0] == "TITLE:{u}caf{E9} {1F600}", repr(header[0]))
        elif name == "20240503.JNL":
            check(header[0] == "TITLE:a  :END  CIPHER:x", repr(header[0]))
            check(header[1] == "WEATHER:b c", repr(header[1]))
            check(not any(line.startswith(("BMP:", "JPG:")) for line in header),
                  "gif picture line written")
        else:
            check("CODE:RTF" not in header, "export has CODE:RTF")
            check("BMP:/p/a.JPG" in header, "export picture " + repr(header))
            check(text.endswith(":END\r\n一行目\r\n二行目\r\n"),
                  "export body " + repr(text[-40:]))

    page = os.path.join(folder, "python.jnl")
    with open(page, "wb") as f:
        f.write("title:夏の旅\nweather:晴 時々 雨\nyov_readonly:true\n:end\n"
                "一行目\n二行目\n".encode("cp932"))
    out = subprocess.run([tool, "read", page], check=True,
                         capture_output=True).stdout.decode("utf-8")
    check(out == "夏の旅\n晴 時々 雨\nread-only\n一行目\r\n二行目\r\n\n",
          "read back " + repr(out))

if failures:
    print("\n".join(failures))
    sys.exit(1)
print("ok")
