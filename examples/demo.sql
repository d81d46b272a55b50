-- Small sales database for the demo reports. Regenerate demo.db with
-- ./make-demo-db after editing. Order rows are derived arithmetically from
-- their ids, so the database is the same on every run.
PRAGMA foreign_keys = ON;
PRAGMA page_size = 4096;

CREATE TABLE customers (
  id      INTEGER PRIMARY KEY,
  name    VARCHAR(40) NOT NULL,
  city    VARCHAR(30) NOT NULL,
  country VARCHAR(30) NOT NULL
);

CREATE TABLE products (
  id         INTEGER PRIMARY KEY,
  name       VARCHAR(40) NOT NULL,
  category   VARCHAR(20) NOT NULL,
  unit_price REAL NOT NULL
);

CREATE TABLE orders (
  id          INTEGER PRIMARY KEY,
  customer_id INTEGER NOT NULL REFERENCES customers(id),
  order_date  TEXT NOT NULL,            -- ISO yyyy-mm-dd
  shipped     BOOLEAN NOT NULL CHECK (shipped IN (0, 1))
);

CREATE TABLE order_items (
  order_id   INTEGER NOT NULL REFERENCES orders(id),
  product_id INTEGER NOT NULL REFERENCES products(id),
  quantity   INTEGER NOT NULL CHECK (quantity > 0),
  discount   REAL NOT NULL DEFAULT 0,
  PRIMARY KEY (order_id, product_id)
);

INSERT INTO customers (id, name, city, country) VALUES
  (1,  'Alder & Finch Trading',   'Berlin',     'Germany'),
  (2,  'Brightwater Supplies',    'Hamburg',    'Germany'),
  (3,  'Kessler Feinkost',        'Munich',     'Germany'),
  (4,  'Morgenrot Handel',        'Berlin',     'Germany'),
  (5,  'Maison Lefebvre',         'Paris',      'France'),
  (6,  'Les Caves du Rhône',      'Lyon',       'France'),
  (7,  'Comptoir Marseillais',    'Marseille',  'France'),
  (8,  'Épicerie Duval',          'Paris',      'France'),
  (9,  'Harbour Lane Grocers',    'London',     'United Kingdom'),
  (10, 'Pennine Provisions',      'Manchester', 'United Kingdom'),
  (11, 'Thistle & Oak Ltd',       'Edinburgh',  'United Kingdom'),
  (12, 'Covent Market Co.',       'London',     'United Kingdom'),
  (13, 'Casa Moreno',             'Madrid',     'Spain'),
  (14, 'Ultramarinos Vidal',      'Barcelona',  'Spain'),
  (15, 'Bodega del Puerto',       'Valencia',   'Spain'),
  (16, 'Trattoria Fontana',       'Milan',      'Italy'),
  (17, 'Alimentari Russo',        'Rome',       'Italy'),
  (18, 'Bottega Lombardi',        'Milan',      'Italy'),
  (19, 'Great Lakes Pantry',      'Chicago',    'USA'),
  (20, 'Bayside Foods',           'San Francisco', 'USA'),
  (21, 'Hudson Street Deli',      'New York',   'USA'),
  (22, 'Prairie Mercantile',      'Chicago',    'USA'),
  (23, 'Noordzee Delicatessen',   'Amsterdam',  'Netherlands'),
  (24, 'De Gouden Kaas',          'Rotterdam',  'Netherlands');

INSERT INTO products (id, name, category, unit_price) VALUES
  (1,  'Darjeeling Tea 250 g',      'Beverages',  8.50),
  (2,  'Colombian Coffee Beans 1 kg', 'Beverages', 18.90),
  (3,  'Sparkling Apple Juice',     'Beverages',  3.20),
  (4,  'Earl Grey Tea 100 bags',    'Beverages',  6.75),
  (5,  'Aged Gouda',                'Dairy',     14.40),
  (6,  'Brie de Meaux',             'Dairy',     11.95),
  (7,  'Parmigiano Reggiano',       'Dairy',     22.00),
  (8,  'Greek Yoghurt 500 g',       'Dairy',      2.85),
  (9,  'Extra Virgin Olive Oil',    'Pantry',    12.30),
  (10, 'Balsamic Vinegar',          'Pantry',     9.60),
  (11, 'Wildflower Honey',          'Pantry',     7.45),
  (12, 'Arborio Rice 1 kg',         'Pantry',     4.10),
  (13, 'Dark Chocolate 70%',        'Confections', 3.95),
  (14, 'Almond Biscotti',           'Confections', 5.25),
  (15, 'Salted Caramels',           'Confections', 6.40),
  (16, 'Smoked Salmon 200 g',       'Seafood',   13.80),
  (17, 'Anchovy Fillets',           'Seafood',    4.60),
  (18, 'Tuna in Olive Oil',         'Seafood',    3.75),
  (19, 'Serrano Ham 100 g',         'Meat',       6.90),
  (20, 'Chorizo Sausage',           'Meat',       5.80);

-- 120 orders from January 2024 on, about three days apart.
WITH RECURSIVE n(id) AS (SELECT 1 UNION ALL SELECT id + 1 FROM n WHERE id < 120)
INSERT INTO orders (id, customer_id, order_date, shipped)
SELECT id,
       (id * 37 % 101) % 24 + 1,
       date('2024-01-03', '+' || (id * 3 + id % 5) || ' days'),
       CASE WHEN id <= 108 OR id % 3 = 0 THEN 1 ELSE 0 END
FROM n;

-- One to five distinct products per order (7 is prime to 20, so the
-- product ids of one order never repeat).
WITH RECURSIVE line(order_id, n) AS (
  SELECT id, 1 FROM orders
  UNION ALL
  SELECT order_id, n + 1 FROM line WHERE n < 1 + (order_id * 13) % 5
)
INSERT INTO order_items (order_id, product_id, quantity, discount)
SELECT order_id,
       (order_id * 11 + n * 7) % 20 + 1,
       1 + (order_id * 17 + n * 5) % 24,
       CASE WHEN (order_id + n) % 7 = 0 THEN 0.10
            WHEN (order_id + n) % 11 = 0 THEN 0.05
            ELSE 0 END
FROM line;

CREATE VIEW order_lines AS
SELECT o.id                                                   AS order_id,
       c.name                                                 AS customer,
       c.country                                              AS country,
       c.city                                                 AS city,
       o.order_date                                           AS order_date,
       p.name                                                 AS product,
       p.category                                             AS category,
       i.quantity                                             AS quantity,
       p.unit_price                                           AS unit_price,
       ROUND(i.quantity * p.unit_price * (1 - i.discount), 2) AS amount
FROM order_items i
JOIN orders o    ON o.id = i.order_id
JOIN customers c ON c.id = o.customer_id
JOIN products p  ON p.id = i.product_id;

-- The codes a shelf label of each product carries, one for each barcode
-- symbology the barcode example shows.
CREATE VIEW product_labels AS
SELECT p.id                              AS product_id,
       p.name                            AS product,
       p.category                        AS category,
       printf('P-%04d', p.id)            AS sku,       -- Code 39 and Data Matrix
       printf('400638%06d', p.id)        AS ean,       -- EAN-13 adds its check digit
       printf('36000%05d', p.id)         AS upc,       -- UPC-A adds number system and check digit
       printf('%06d', 100 * p.id + 17)   AS lot,       -- Interleaved 2 of 5
       printf('12345-%04d', p.id)        AS zip,       -- POSTNET
       'https://shop.example/p/' || p.id AS url        -- QR Code
FROM products p;
