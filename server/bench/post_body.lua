-- wrk script: posts the prebuilt multipart body in BODY_FILE to every request, as the
-- client's host posts an update check.
local file = assert(io.open(os.getenv("BODY_FILE"), "rb"))
wrk.method = "POST"
wrk.body = file:read("*a")
file:close()
wrk.headers["Content-Type"] = "multipart/form-data; boundary=----VelloraHostBoundary7d4f2c9a1e"
