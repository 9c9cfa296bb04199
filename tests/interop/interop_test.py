#!/usr/bin/python3
"""Converts generated NCS files with tessel and reads both sides back with
python3-neo, which knows neither program.

Usage: interop_test.py --tessel PATH --ncsgen PATH --workdir DIR [unittest args]
"""

import argparse
import ast
import copy
import datetime
import glob
import hashlib
import json
import os
import shutil
import subprocess
import sys
import unittest

import numpy as np
from neo.rawio import AxonRawIO, NeuralynxRawIO, axonrawio

ARGS = None
SAMPLES_PER_RECORD = 512
RECORD_US = SAMPLES_PER_RECORD * 1e6 / 32000  # one record at ncsgen's default rate
NCS_HEADER = 16384
NCS_RECORD = np.dtype([('timestamp', '<u8'), ('channel', '<u4'), ('frequency', '<u4'),
                       ('valid', '<u4'), ('samples', '<i2', (SAMPLES_PER_RECORD,))])


def tags_at_their_block(parse):
    """neo 0.11 seeks ABF 1.x tags at byte lTagSectionPtr, a block number like lSynchArrayPtr (which neo
    multiplies by 512). This reads them at that block with neo's own layout; the rest of its tag reading stays."""
    def parsed(filename):
        info = parse(filename)
        if info is not None and info['fFileVersionNumber'] < 2:
            with open(filename, 'rb') as fid:
                f = axonrawio.StructFile(fid)
                info['listTag'] = []
                for i in range(info['lNumTagEntries']):
                    f.seek(info['lTagSectionPtr'] * axonrawio.BLOCKSIZE + i * 64)
                    info['listTag'].append({key: f.read_f(fmt)[0] for key, fmt in axonrawio.TagInfoDescription})
        return info
    return parsed


axonrawio.parse_axon_soup = tags_at_their_block(axonrawio.parse_axon_soup)


def run(cmd):
    p = subprocess.run(cmd, capture_output=True, text=True, timeout=120)
    if p.returncode != 0:
        raise AssertionError('%s exited with %d\n%s%s' % (' '.join(cmd), p.returncode,
                                                         p.stdout, p.stderr))
    return p


def parsed(rawio, path):
    reader = rawio(filename=path)
    reader.parse_header()
    return reader


def fresh(name):
    """An empty folder of that name in the work folder."""
    folder = os.path.join(ARGS.workdir, name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    return folder


def generate(name, extra, channels=1, records=40):
    folder = fresh(name)
    run([ARGS.ncsgen, '--channels', str(channels), '--records', str(records)] + extra + [folder])
    return folder, [os.path.join(folder, 'CSC%d.ncs' % (c + 1)) for c in range(channels)]


def digest(path):
    with open(path, 'rb') as f:
        return hashlib.sha256(f.read()).hexdigest()


class NcsInput:
    """One input as neo's Neuralynx reader sees it, plus its record time stamps."""

    def __init__(self, path):
        self.path = path
        reader = parsed(NeuralynxRawIO, path)
        self.segments = reader.header['nb_segment'][0]
        channel = reader.header['signal_channels'][0]
        self.adchannel = int(channel['id'])
        self.rate = float(channel['sampling_rate'])
        # Every section, so that recordings with holes are read whole.
        self.raw = np.concatenate([reader.get_analogsignal_chunk(0, s, stream_index=0)[:, 0]
                                   for s in range(self.segments)])
        self.gain = float(channel['gain'])  # microvolts per step, negative when inverted
        self.units = channel['units']
        self.opened = reader.file_headers[path]['recording_opened']
        self.admax = int(reader.file_headers[path]['ADMaxValue'])
        self.timestamps = np.fromfile(path, dtype=NCS_RECORD, offset=NCS_HEADER)['timestamp']


def nev_events(path):
    """Every event of an event file as neo's Neuralynx reader reads it:
    (stamp in us, event id, TTL value, text), in time order."""
    neo = parsed(NeuralynxRawIO, path)
    events = []
    for c in range(neo.event_channels_count()):
        # Limits well outside the events: neo's own are rounded through seconds.
        stamps, _, labels = neo.get_event_timestamps(0, 0, c, -1.0, neo.segment_t_stop(0, 0) + 1.0)
        event_id, ttl = neo.internal_event_ids[c]
        events += [(int(t), int(event_id), int(ttl) & 0xffff, str(text)) for t, text in zip(stamps, labels)]
    return sorted(events)


def joined(inputs, first=0, stop=None):
    """The files of one channel, one after the other, as one input holding records first to stop - 1."""
    whole = copy.copy(inputs[0])
    whole.raw = np.concatenate([ncs.raw for ncs in inputs])[first * SAMPLES_PER_RECORD:stop and stop * SAMPLES_PER_RECORD]
    whole.timestamps = np.concatenate([ncs.timestamps for ncs in inputs])[first:stop]
    return whole


class AbfOutput:
    """An ABF file as neo's Axon reader sees it: segments joined into one array."""

    def __init__(self, path):
        reader = parsed(AxonRawIO, path)
        self.info = reader._axon_info
        self.version = reader.raw_annotations['blocks'][0]['abf_version']
        self.channels = reader.header['signal_channels']
        segments = reader.header['nb_segment'][0]
        chunks = [reader.get_analogsignal_chunk(0, s, stream_index=0) for s in range(segments)]
        self.data = np.concatenate(chunks)
        self.lengths = [c.shape[0] for c in chunks]
        self.starts = [reader.get_signal_t_start(0, s, 0) for s in range(segments)]


class Checks:
    """What neo reads of an ABF file against the inputs it should hold."""

    def check_abf(self, path, inputs):
        abf = AbfOutput(path)
        n = len(inputs)
        self.assertLess(abs(abf.version - 1.65), 1e-6)
        self.assertEqual(abf.info['nOperationMode'], 3)  # gap-free
        self.assertEqual(len(abf.channels), n)

        for c, (channel, ncs) in enumerate(zip(abf.channels, inputs)):
            with self.subTest(channel=c):
                # neo removes every blank from the name; the field keeps them.
                self.assertEqual(channel['name'], 'EEGCh%d' % ncs.adchannel)
                self.assertEqual(abf.info['sADCChannelName'][c].rstrip(b' '),
                                 b'EEG Ch %d' % ncs.adchannel)
                self.assertEqual(channel['units'], 'mV')
                # The per-channel rate comes back from a single-precision
                # interval of 1e6 / n / rate microseconds.
                self.assertLess(abs(channel['sampling_rate'] / ncs.rate - 1), 1e-6)
                # 10 V over ADMaxValue + 1 steps; any stray default gain or
                # scale factor on a channel shows here.
                self.assertLess(abs(channel['gain'] * (ncs.admax + 1) / 10 - 1), 1e-6)
                self.assertEqual(channel['offset'], 0)
                self.assertEqual(abf.data.dtype, np.int16)
                self.assertEqual(abf.data.shape, (ncs.raw.size, n))
                np.testing.assert_array_equal(abf.data[:, c], ncs.raw)

        self.check_record_starts(abf, inputs)

    def check_record_starts(self, abf, inputs):
        """Each synch entry starts on a record and gives the time of that
        record since the first one."""
        if len(abf.starts) == 1:
            self.assertEqual(abf.starts[0], 0)
            return
        interval = float(abf.info['fADCSampleInterval'])  # per interleaved sample, us
        # neo divides a start in samples by the per-channel rate; undo that
        # to get microseconds, whatever unit the file uses.
        us = float(abf.channels[0]['sampling_rate']) * interval if float(abf.info['fSynchTimeUnit']) == 0 else 1e6
        stamps = inputs[-1].timestamps.astype(np.int64)
        first = int(inputs[0].timestamps[0])
        positions = np.cumsum([0] + abf.lengths)
        self.assertEqual(positions[-1], inputs[0].raw.size)
        for position, start in zip(positions, abf.starts):
            self.assertEqual(position % SAMPLES_PER_RECORD, 0)
            record = position // SAMPLES_PER_RECORD
            elapsed = int(stamps[record]) - first
            self.assertLessEqual(abs(start * us - elapsed), interval + 1e-6 * abs(elapsed) + 1,
                                 'record %d starts at %g us, not %d' % (record, start * us, elapsed))

    def check_tags(self, abf_path, events, origin, end, n):
        """The tags of abf_path are the events from origin to end (us), in order."""
        reader = parsed(AxonRawIO, abf_path)
        stamps, _, types = reader.get_event_timestamps(0, 0, 0, None, None)
        seconds = reader.rescale_event_timestamp(stamps, 'float64', 0)
        comments = reader.raw_annotations['blocks'][0]['segments'][0]['events'][0]['comments']
        interval = 1 / reader.get_signal_sampling_rate(0)  # per channel, s
        held = [e for e in events if origin <= e[0] < end]
        self.assertEqual(reader.event_count(0, 0, 0), len(held))
        self.assertEqual(set(types), {'1'} if held else set())
        for (stamp, _, _, text), got, comment in zip(held, seconds, comments):
            self.assertTrue(0 <= (stamp - origin) / 1e6 * n - got <= interval, (text, got))
            self.assertEqual(ast.literal_eval(comment), text.encode('latin-1')[:56].rstrip(b' '))
        return len(held)


class ConversionCase(Checks):
    """Generates inputs, converts them combined and separately, and checks
    both results. The table below sets the recordings."""

    @classmethod
    def setUpClass(cls):
        cls.indir, cls.paths = generate(cls.__name__, ['--frequency', cls.frequency] + cls.extra,
                                        cls.channels, cls.records)
        cls.outdir = fresh(cls.__name__ + '-out')
        cls.before = [digest(p) for p in cls.paths]
        cls.inputs = [NcsInput(p) for p in cls.paths]
        order = cls.order or list(range(cls.channels))
        cls.combined_inputs = [cls.inputs[i] for i in order]
        combined = [cls.paths[i] for i in order]
        cls.combine_run = run([ARGS.tessel, 'convert', '--combine', '--quiet'] + combined)
        cls.combined_path = combined[0][:-4] + '.abf'
        cls.separate_run = run([ARGS.tessel, 'convert', '--quiet', '--output-dir', cls.outdir]
                               + cls.paths)

    def test_inputs_and_what_is_left(self):
        # Guards the rest: neo must see one gap-free section at the header's rate.
        for ncs in self.inputs:
            self.assertEqual((ncs.segments, ncs.raw.size, ncs.rate),
                             (1, self.records * SAMPLES_PER_RECORD, float(self.frequency)), ncs.path)
        self.assertEqual(len({ncs.raw.tobytes() for ncs in self.inputs}), self.channels)
        # Quiet runs, ABF files only, inputs untouched.
        for p in (self.combine_run, self.separate_run):
            self.assertEqual((p.stdout, p.stderr), ('', ''))
        expected = sorted(os.path.basename(p)[:-4] + '.abf' for p in self.paths)
        self.assertEqual(sorted(os.listdir(self.outdir)), expected)
        made = sorted(n for n in os.listdir(self.indir) if not n.endswith('.ncs'))
        self.assertEqual(made, [os.path.basename(self.combined_path)])
        self.assertEqual([digest(p) for p in self.paths], self.before)

    def test_outputs(self):
        separate = [os.path.join(self.outdir, os.path.basename(p)[:-4] + '.abf') for p in self.paths]
        for path, inputs in [(self.combined_path, self.combined_inputs)] + [
                (out, [ncs]) for out, ncs in zip(separate, self.inputs)]:
            with self.subTest(file=path):
                self.check_abf(path, inputs)


# Channels, records, rate, further ncsgen options, and the order of the inputs given to --combine.
for name, channels, records, frequency, extra, order in (
        ('Rate32k', 3, 100, '32000', [], None),
        # Channel numbers far from the file positions, and combined out of order,
        # so names must come from each header and channels follow the arguments.
        ('Rate16kTwelveBit', 3, 64, '16000', ['--first-channel', '30', '--ad-max-value', '2047', '--seed', '77'],
         [2, 0, 1]),
        ('FractionalRate', 2, 40, '30303.03', [], None),
        ('SixteenChannels', 16, 12, '32000', [], None),
        # A first time stamp of 0 must count as a time like any other.
        ('SingleChannelFromTimeZero', 1, 40, '32000', ['--start-time', '0'], None)):
    globals()[name] = type(name, (ConversionCase, unittest.TestCase), dict(
        channels=channels, records=records, frequency=frequency, extra=extra, order=order))


class Volts(unittest.TestCase):
    """--volts: every sample read back in microvolts equals neo's reading of
    the input, inverted or not, whatever the resolution."""

    def check(self, paths):
        run([ARGS.tessel, 'convert', '--quiet', '--volts', '--combine'] + paths)
        abf = AbfOutput(paths[0][:-4] + '.abf')
        self.assertEqual(abf.data.dtype, np.int16)
        for c, ncs in enumerate(NcsInput(p) for p in paths):
            with self.subTest(path=ncs.path, channel=c):
                self.assertEqual((ncs.units, abf.channels[c]['units']), ('uV', 'uV'))
                got = abf.data[:, c] * float(abf.channels[c]['gain']) + float(abf.channels[c]['offset'])
                # The scale factor is single precision.
                np.testing.assert_allclose(got, ncs.raw.astype(np.float64) * ncs.gain, rtol=2e-7, atol=0)
                np.testing.assert_array_equal(abf.data[:, c], ncs.raw)

    def test_inverted_or_not_and_odd_bit_volts(self):
        for extra, channels in ((['--input-inverted', 'true'], 2),
                                (['--input-inverted', 'false', '--ad-max-value', '2047', '--seed', '5'], 3),
                                (['--bit-volts', '0.000000061037018951994385', '--frequency', '30303.03'], 1)):
            with self.subTest(extra=extra):
                self.check(generate('volts-%s' % '-'.join(extra), extra, channels)[1])

    def test_combined_resolutions_each_exact(self):
        # The header holds one resolution; each channel's scale must still be its own.
        self.check([path for admax, extra in (('2047', ['--seed', '9']), ('32767', ['--input-inverted', 'false']),
                                              ('1023', ['--seed', '3']))
                    for path in generate('volts-' + admax, ['--ad-max-value', admax] + extra)[1]])


class StartTime(unittest.TestCase):
    """--start-time: neo's start time of the ABF file is the opening time neo
    reads from the NCS header, in each form recorders write it."""

    def test_forms(self):
        for form in ('created', 'opened-ms', 'opened-at', 'date-opened'):
            with self.subTest(form=form):
                _, paths = generate('start-' + form, ['--time-form', form])
                run([ARGS.tessel, 'convert', '--quiet', '--start-time', paths[0]])
                out = paths[0][:-4] + '.abf'
                opened = NcsInput(paths[0]).opened
                # ABF 1.x readers take the time of day from the header; the date is ours to check.
                started = parsed(AxonRawIO, out).raw_annotations['blocks'][0]['rec_datetime']
                self.assertEqual(started.time(), opened.time())
                date = int(np.fromfile(out, dtype='<i4', count=1, offset=20)[0])
                self.assertEqual(date, opened.year * 10000 + opened.month * 100 + opened.day)


class Info(unittest.TestCase):
    """info is what neo's Neuralynx reader reads: of a recording, its holes and missing time are the
    gaps between neo's sections; of an event file, the count, the first and last stamps, the TTL values
    (unsigned) and the first events, with events in the holes, before and after the records."""

    def test_is_what_neo_reads(self):
        folder, paths = generate('info', ['--gap', '10:1000000', '--gap', '25:2500000', '--gap', '31:16', '--events', '3',
                                          '--event=-5000000:32768', '--event', '9000000:5:late marker'])
        path = os.path.join(folder, 'Events.nev')
        recording, info = json.loads(run([ARGS.tessel, 'info', '--json', paths[0], path]).stdout)
        neo = parsed(NeuralynxRawIO, paths[0])
        gaps = [neo.segment_t_start(0, s + 1) - neo.segment_t_stop(0, s) for s in range(neo.header['nb_segment'][0] - 1)]
        self.assertEqual((recording['holes'], round(recording['missing_us']), round(recording['largest_hole_us'])),
                         (len(gaps), round(sum(gaps) * 1e6), round(max(gaps) * 1e6)))
        events = nev_events(path)  # the generator writes them in time order
        self.assertGreater(len(events), 10)
        self.assertEqual((info['events'], info['first_timestamp_us'], info['last_timestamp_us'], info['ttl_values']),
                         (len(events), events[0][0], events[-1][0], sorted({e[2] for e in events})))
        self.assertEqual([(e['timestamp_us'], e['id'], e['ttl'], e['text']) for e in info['first_events']], events[:5])
        self.assertIn(32768, info['ttl_values'])


class Tags(Checks, unittest.TestCase):
    """--events: neo reads lTagTime (intervals of the interleaved stream) as per-channel samples, as it
    does the synch array: its tag times are the events' exactly on one channel, n times them on n."""

    def test_one_four_and_sixteen_channels(self):
        for n in (1, 4, 16):
            with self.subTest(channels=n):
                folder, paths = generate('tags-%d' % n, ['--gap', '20:2000000', '--events', '4',
                                                         '--event=-3000:3', '--event', '700000:5:' + 'x' * 80], n)
                p = run([ARGS.tessel, 'convert', '--quiet', '--combine', '--events', folder])
                events = nev_events(os.path.join(folder, 'Events.nev'))
                stamps = NcsInput(paths[-1]).timestamps.astype(np.int64)
                held = self.check_tags(paths[0][:-4] + '.abf', events, stamps[0], stamps[-1] + RECORD_US, n)
                self.assertGreater(held, 10)
                self.assertIn('%d of its %d events lie before' % (len(events) - held, len(events)), p.stderr)


class Split(Checks, unittest.TestCase):
    """--split: a stamp 70000 s on lies beyond the 2^31 sample intervals of
    one file's synch array; the parts hold every record once, and with
    --events the tags of their own times."""

    def test_parts_hold_every_record_once(self):
        folder, paths = generate('split', ['--gap', '25:70000000000', '--events', '5'], 2)
        refused = subprocess.run([ARGS.tessel, 'convert', '--combine', folder], capture_output=True, text=True)
        self.assertEqual(refused.returncode, 1)
        self.assertIn('--split', refused.stderr)
        inputs = [NcsInput(p) for p in paths]
        stamps = inputs[-1].timestamps.astype(np.int64)
        events = nev_events(os.path.join(folder, 'Events.nev'))
        # The event in the hole would lie past the first part's 2^31 intervals and is left out.
        ends = (stamps[0] + (2 ** 31 - 1) * 1e6 / 32000 / 2, stamps[-1] + RECORD_US)
        for options in ([], ['--events']):
            with self.subTest(options=options):
                out = fresh('split-out' + ''.join(options))
                run([ARGS.tessel, 'convert', '--quiet', '--combine', '--split', '--output-dir', out] + options + [folder])
                self.assertEqual(sorted(os.listdir(out)), ['CSC1_part1.abf', 'CSC1_part2.abf'])
                data = []
                for k, first, end in ((1, 0, ends[0]), (2, 25, ends[1])):
                    part = os.path.join(out, 'CSC1_part%d.abf' % k)
                    abf = AbfOutput(part)
                    data.append(abf.data)
                    self.assertEqual(abf.info['lSynchArraySize'], abf.data.shape[0] // SAMPLES_PER_RECORD)
                    # Each part's synch array counts from its own first record.
                    synch = np.fromfile(part, dtype='<i4', offset=abf.info['lSynchArrayPtr'] * 512,
                                        count=2 * abf.info['lSynchArraySize']).reshape(-1, 2)
                    held = stamps[first:first + len(synch)]
                    interval = float(abf.info['fADCSampleInterval'])
                    np.testing.assert_array_equal(synch[:, 0], np.trunc((held - held[0]) / np.float32(interval)))
                    np.testing.assert_array_equal(synch[:, 1], SAMPLES_PER_RECORD * len(inputs))
                    self.check_tags(part, events if options else [], stamps[first], end, 2)
                for c, ncs in enumerate(inputs):
                    np.testing.assert_array_equal(np.concatenate(data)[:, c], ncs.raw)


class Sessions(Checks, unittest.TestCase):
    """A folder with restarts, and ranges: every sample and record start
    that neo reads of the ABF file is that of the NCS records it should hold."""

    def test_restart_files_continue_their_channels(self):
        folder, paths = generate('restarts', [], 3, 30)
        later, _ = generate('restarts-later', ['--start-time', '1020000000'], 3, 20)
        last, _ = generate('restarts-last', ['--start-time', '1500000000', '--seed', '4'], 3, 10)
        for c in range(3):
            shutil.copy(os.path.join(later, 'CSC%d.ncs' % (c + 1)), os.path.join(folder, 'CSC%d_0001.ncs' % (c + 1)))
            shutil.copy(os.path.join(last, 'CSC%d.ncs' % (c + 1)), os.path.join(folder, 'CSC%d_0002.ncs' % (c + 1)))
        p = run([ARGS.tessel, 'convert', '--quiet', '--combine', folder])
        self.assertEqual(p.stderr.count('acquisition restarts: 2'), 3)
        self.assertEqual(sorted(n for n in os.listdir(folder) if n.endswith('.abf')), ['CSC1.abf'])
        inputs = [joined([NcsInput(os.path.join(d, 'CSC%d.ncs' % (c + 1))) for d in (folder, later, last)])
                  for c in range(3)]
        self.check_abf(paths[0][:-4] + '.abf', inputs)

    def test_ranges(self):
        folder, paths = generate('ranges', ['--gap', '30:1000000', '--events', '3'], 2, 60)
        inputs = [NcsInput(p) for p in paths]
        stamps = inputs[-1].timestamps.astype(np.int64)
        events = nev_events(os.path.join(folder, 'Events.nev'))
        # Seconds, a clock time (opened at 10:15:42), either bound alone; the tags of the range.
        for bounds, first, stop in ((['--from', '0.1', '--to', '0.2'], 6, 13),
                                    (['--from', '10:15:43.4'], 30, 60),  # past the hole
                                    (['--to', '0.016'], 0, 1)):
            with self.subTest(bounds=bounds):
                out = fresh('ranges-out')
                run([ARGS.tessel, 'convert', '--quiet', '--combine', '--start-time', '--events', '--output-dir', out]
                    + bounds + paths)
                abf = os.path.join(out, 'CSC1.abf')
                self.check_abf(abf, [joined([ncs], first, stop) for ncs in inputs])
                self.check_tags(abf, events, stamps[first], stamps[stop - 1] + RECORD_US, 2)
                start = inputs[0].opened + datetime.timedelta(
                    microseconds=int(inputs[0].timestamps[first] - inputs[0].timestamps[0]))
                # The header holds whole milliseconds, which neo adds in floating point.
                got = datetime.datetime.combine(
                    start.date(), parsed(AxonRawIO, abf).raw_annotations['blocks'][0]['rec_datetime'].time())
                self.assertLess(abs(got - start.replace(microsecond=start.microsecond // 1000 * 1000)),
                                datetime.timedelta(microseconds=10))


    def test_names_read_back(self):
        folder, paths = generate('names', [], 2, 4)
        for path, name in zip(paths, (b'LFP \xc2\xb5left', b'Tetrode12345')):
            with open(path, 'r+b') as f:
                header = f.read(NCS_HEADER)
                start = header.index(b'-AcqEntName ') + len(b'-AcqEntName ')
                header = header[:start] + name + header[header.index(b'\r\n', start):]
                f.seek(0)
                f.write(header[:NCS_HEADER].ljust(NCS_HEADER, b'\0'))
        run([ARGS.tessel, 'convert', '--quiet', '--combine', '--names', folder])
        # neo drops the blanks of a name.
        self.assertEqual([str(c['name']) for c in AbfOutput(paths[0][:-4] + '.abf').channels], ['LFP_left', 'Tetrode123'])


class DefaultBytes(unittest.TestCase):
    """Without the options that came with sessions, events, names and ranges,
    the outputs are byte for byte those of the converter before them: the
    digests below were taken from it on the same generated recordings."""

    CASES = [  # ncsgen's options, then tessel's, and the digest of the ABF files' names and bytes
        ('--channels 1 --records 200', '', '2d3c6f8e5bc64bdbd53089fac3d5b0669cd44dafadc4d230aa651924547e6337'),
        ('--channels 4 --records 120 --gap 30:1000000 --gap 80:-2000000 --short 7:100', '--combine',
         'b032405b44e50a4152768778aec2e2f5178162fb52f3e43c8796695d6882ac52'),
        ('--channels 4 --records 60 --seed 9', '', '255912bad4a7e466c6f8352d841108a7bf5cec40c87900dd76a71d491324da51'),
        ('--channels 16 --records 40 --frequency 30303.03', '--combine --volts --start-time',
         'e1b1159222ef44f77d6b0245605a8f9fb8cacb84755f203da51e95f54cc3401a'),
        ('--channels 2 --records 30 --gap 20:70000000000', '--combine --split',
         '736242dbeeb61a2f3ee28a4f90ee4bde40e86cd9124b0427466b6aa41d826828'),
    ]

    def test_digests(self):
        for k, (generated, options, want) in enumerate(self.CASES):
            with self.subTest(generated=generated, options=options):
                folder = fresh('default-%d' % k)
                run([ARGS.ncsgen] + generated.split() + [folder])
                run([ARGS.tessel, 'convert', '--quiet'] + options.split() + [folder])
                h = hashlib.sha256()
                for path in sorted(glob.glob(os.path.join(folder, '*.abf'))):
                    h.update(os.path.basename(path).encode())
                    with open(path, 'rb') as f:
                        h.update(f.read())
                self.assertEqual(h.hexdigest(), want)


def main():
    global ARGS
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--tessel', required=True)
    parser.add_argument('--ncsgen', required=True)
    parser.add_argument('--workdir', required=True)
    ARGS, rest = parser.parse_known_args()
    ARGS.workdir = os.path.abspath(ARGS.workdir)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == '__main__':
    main()
