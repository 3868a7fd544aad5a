"""A reader for the game's replay files written from the README's description
alone (section "Replay files"), as an operator's script would be: it checks
each chunk's CRC, inflates zlib payloads, and reads the records of every RECS
chunk in order, stopping at the first chunk that is cut short or damaged."""
import struct
import zlib

MAGIC = b"BLASTREC"


def chunks(data):
    """(tag, timeMs, payload) of every whole, intact chunk after the magic."""
    if data[:8] != MAGIC:
        raise ValueError("not a replay file")
    at = 8
    while at + 24 <= len(data):
        tag, method, time_ms, stored, size, crc = struct.unpack_from("<4sB3xIIII", data, at)
        body = data[at + 24:at + 24 + stored]
        if len(body) < stored or zlib.crc32(data[at:at + 20] + body) != crc:
            return
        payload = zlib.decompress(body) if method == 1 else body
        if len(payload) != size:
            return
        yield tag.decode("ascii"), time_ms, payload
        at += 24 + stored


def header(payload):
    version, interval, start, frag_limit = struct.unpack_from("<HIQi", payload, 0)
    at = 18
    texts = []
    for _ in range(2):
        n = payload[at]
        texts.append(payload[at + 1:at + 1 + n].decode("latin-1"))
        at += 1 + n
    return {"version": version, "keyframe_ms": interval, "start": start,
            "frag_limit": frag_limit, "map": texts[0], "recorded_by": texts[1]}


def records(payload):
    """(timeMs, player, gone, text) of each record in a RECS or KEYF payload."""
    at = 0
    while at + 8 <= len(payload):
        time_ms, player, flags, length = struct.unpack_from("<IBBH", payload, at)
        yield time_ms, player, bool(flags & 1), payload[at + 8:at + 8 + length].decode("latin-1")
        at += 8 + length


def read(path):
    """The header and every record of the file, in order."""
    with open(path, "rb") as f:
        data = f.read()
    head, recs, tags = None, [], []
    for tag, _, payload in chunks(data):
        tags.append(tag)
        if tag == "HEAD":
            head = header(payload)
        elif tag == "RECS":
            recs.extend(records(payload))
    return head, recs, tags


def kills(recs):
    """(timeMs, killer name, victim name): each change of a player's killerId
    (the state's 10th field) to another player's clientId."""
    names, last, found = {}, {}, []
    for time_ms, player, gone, text in recs:
        if gone:
            continue
        fields = text.split(" ")
        client_id, name = fields[0], fields[1]
        names[client_id] = name
        killer = fields[9] if len(fields) > 9 else "0"
        if killer != last.get(client_id, "0") and killer != "0":
            found.append((time_ms, names.get(killer, "?"), name))
        last[client_id] = killer
    return found
