#!/usr/bin/env python3
"""web/serve.py as a browser meets it: revalidation that sees a new build at
once, compression only where asked and allowed, folders and their index, and
nothing outside the served folder.

    serve_test.py SERVE-PY
"""
import gzip
import http.client
import os
import subprocess
import sys
import tempfile
import time
import unittest

SERVE = None


class ServeTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory()
        cls.site = os.path.join(cls.scratch.name, 'site')
        os.makedirs(os.path.join(cls.site, 'sub'))
        cls.write('index.html', b'<!doctype html><title>top</title>' + b' ' * 400)
        cls.write('sub/index.html', b'<!doctype html><title>sub</title>' + b' ' * 400)
        cls.write('app.js', b'console.log("one");' * 50)
        cls.write('icon.png', b'\x89PNG' + bytes(600))
        with open(os.path.join(cls.scratch.name, 'secret.txt'), 'wb') as f:
            f.write(b'outside')
        cls.server = subprocess.Popen([sys.executable, SERVE, '--port', '0', '--quiet', cls.site],
                                      stdout=subprocess.PIPE, text=True)
        line = cls.server.stdout.readline()
        prefix = f'Serving {cls.site} at http://127.0.0.1:'
        if not line.startswith(prefix):
            cls.server.kill()
            raise AssertionError(f'first line: {line!r}')
        cls.port = int(line[len(prefix):].rstrip().rstrip('/'))

    @classmethod
    def tearDownClass(cls):
        cls.server.terminate()
        cls.server.wait(timeout=10)
        cls.scratch.cleanup()

    @classmethod
    def write(cls, name, data):
        with open(os.path.join(cls.site, name), 'wb') as f:
            f.write(data)

    def get(self, path, method='GET', **headers):
        connection = http.client.HTTPConnection('127.0.0.1', self.port, timeout=10)
        try:
            connection.request(method, path, headers=headers)
            response = connection.getresponse()
            return response.status, dict(response.getheaders()), response.read()
        finally:
            connection.close()

    def test_revalidation_sees_a_new_build_at_once(self):
        status, headers, first = self.get('/app.js')
        self.assertEqual(status, 200)
        self.assertEqual(headers['Cache-Control'], 'no-cache')
        status, again, body = self.get('/app.js', **{'If-None-Match': headers['ETag']})
        self.assertEqual((status, body), (304, b''))
        self.assertEqual(again['ETag'], headers['ETag'])
        # A rebuild of the same size within the same second still changes the tag.
        self.write('app.js', first.replace(b'one', b'two'))
        status, _, body = self.get('/app.js', **{'If-None-Match': headers['ETag']})
        self.assertEqual(status, 200)
        self.assertIn(b'two', body)

    def test_compression_only_where_asked_and_allowed(self):
        _, _, whole = self.get('/index.html')
        cases = [  # Accept-Encoding, gzipped
            ('gzip', True), ('br, gzip;q=0.5', True), ('*', True), ('GZIP', True),
            ('', False), ('br', False), ('gzip;q=0', False), ('*, gzip;q=0', False), ('identity', False),
        ]
        for accept, packed in cases:
            with self.subTest(accept=accept):
                status, headers, body = self.get('/index.html', **{'Accept-Encoding': accept})
                self.assertEqual(status, 200)
                self.assertEqual(headers.get('Content-Encoding') == 'gzip', packed)
                self.assertEqual(gzip.decompress(body) if packed else body, whole)
                self.assertEqual(int(headers['Content-Length']), len(body))
                self.assertEqual(headers['Vary'], 'Accept-Encoding')
        # A picture is compressed already: sent as it is, with no Vary.
        status, headers, body = self.get('/icon.png', **{'Accept-Encoding': 'gzip'})
        self.assertEqual((status, headers['Content-Type'], len(body)), (200, 'image/png', 604))
        self.assertNotIn('Content-Encoding', headers)
        self.assertNotIn('Vary', headers)
        # The plain and the packed answers have tags of their own.
        _, plain, _ = self.get('/index.html')
        _, packed, _ = self.get('/index.html', **{'Accept-Encoding': 'gzip'})
        self.assertNotEqual(plain['ETag'], packed['ETag'])

    def test_folders_and_their_index(self):
        for path, title in [('/', b'top'), ('/sub/', b'sub'), ('/?from=home', b'top')]:
            with self.subTest(path=path):
                status, headers, body = self.get(path)
                self.assertEqual(status, 200)
                self.assertTrue(headers['Content-Type'].startswith('text/html'))
                self.assertIn(b'<title>' + title, body)
        status, headers, _ = self.get('/sub?x=1')
        self.assertEqual((status, headers['Location']), (301, '/sub/?x=1'))
        status, headers, body = self.get('/app.js', method='HEAD')
        self.assertEqual((status, body), (200, b''))
        self.assertGreater(int(headers['Content-Length']), 0)

    def test_nothing_outside_the_folder(self):
        for path in ['/../secret.txt', '/sub/../../secret.txt', '/%2e%2e/secret.txt', '/sub%2f..%2f..%2fsecret.txt',
                     '/missing.js', '/sub/missing/']:
            with self.subTest(path=path):
                status, _, body = self.get(path)
                self.assertIn(status, (400, 404))
                self.assertNotIn(b'outside', body)


if __name__ == '__main__':
    SERVE = sys.argv.pop(1)
    unittest.main(verbosity=2)
