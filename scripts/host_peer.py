#!/usr/bin/python3
"""A plain host script for the update, the benchmark's peer for brantelmoor-flash.

    host_peer.py SIMULATOR IMAGE [SIMULATOR OPTIONS...]

Starts the simulator, as `brantelmoor-flash flash --simulate` does, and
updates it the way a person would script it with pyserial (Debian's
python3-serial): "VERS", the image one byte per write, as the device is
updated, and after each block a read of exactly as many bytes as the answer
must have (the CRC, plus "FZ" after the last block), then "PUSK". Knowing
the answers' lengths, it never waits for quiet on the line.
Prints the simulator's summary; exit code 0 when the device took the image.
"""
import subprocess
import sys

import serial

BLOCK = 256
REPLY = b"BRANTELMOOR X1 2.1"  # the simulator's default probe reply


def crc16_modbus(data, crc=0xFFFF):
    for byte in data:
        crc ^= byte
        for _ in range(8):
            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
    return crc


def update(line, image):
    line.write(b"VERS")
    if line.read(len(REPLY)) != REPLY:
        return "not a Brantelmoor"
    crc = 0xFFFF
    blocks = len(image) // BLOCK
    for n in range(blocks):
        block = image[n * BLOCK:(n + 1) * BLOCK]
        for i in range(BLOCK):
            line.write(block[i:i + 1])
        crc = crc16_modbus(block, crc)
        expected = crc.to_bytes(2, "big") + (b"FZ" if n == blocks - 1 else b"")
        answer = line.read(len(expected))
        if answer != expected:
            return f"block {n + 1}: answer {answer.hex()}, expected {expected.hex()}"
    line.write(b"PUSK")
    line.flush()
    return None


def main():
    simulator, image_path, *options = sys.argv[1:]
    with open(image_path, "rb") as f:
        image = f.read()
    sim = subprocess.Popen([simulator, "--timeout", "60", *options], stdout=subprocess.PIPE, text=True)
    pty = sim.stdout.readline().split()[1]
    with serial.Serial(pty, 38462, timeout=3) as line:
        failure = update(line, image)
    if failure:
        print(f"host_peer: {failure}", file=sys.stderr)
    print(sim.stdout.readline().strip())
    sim.wait()
    return 1 if failure else 0


if __name__ == "__main__":
    sys.exit(main())
