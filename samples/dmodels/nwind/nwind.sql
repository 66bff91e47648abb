-- The sample database of a small trading company, with invented data. Dates are stored as
-- 'yyyy-mm-dd' texts so that they sort in time order; the stand-in gate turns the program's
-- month/day/year literals into this form. Money is stored as real numbers.

CREATE TABLE Categories (
  CategoryID INTEGER PRIMARY KEY,
  CategoryName VARCHAR(15) NOT NULL,
  Description TEXT
);

CREATE TABLE Suppliers (
  SupplierID INTEGER PRIMARY KEY,
  CompanyName VARCHAR(40) NOT NULL,
  ContactName VARCHAR(30),
  City VARCHAR(15),
  Region VARCHAR(15),
  PostalCode VARCHAR(10),
  Country VARCHAR(15),
  Phone VARCHAR(24)
);

CREATE TABLE Products (
  ProductID INTEGER PRIMARY KEY,
  ProductName VARCHAR(40) NOT NULL,
  SupplierID INTEGER REFERENCES Suppliers (SupplierID),
  CategoryID INTEGER REFERENCES Categories (CategoryID),
  QuantityPerUnit VARCHAR(20),
  UnitPrice MONEY,
  UnitsInStock SMALLINT,
  Discontinued INTEGER NOT NULL DEFAULT 0
);

CREATE TABLE Customers (
  CustomerID CHAR(5) PRIMARY KEY,
  CompanyName VARCHAR(40) NOT NULL,
  ContactName VARCHAR(30),
  City VARCHAR(15),
  Region VARCHAR(15),
  PostalCode VARCHAR(10),
  Country VARCHAR(15),
  Phone VARCHAR(24)
);

CREATE TABLE Employees (
  EmployeeID INTEGER PRIMARY KEY,
  LastName VARCHAR(20) NOT NULL,
  FirstName VARCHAR(10) NOT NULL,
  Title VARCHAR(30),
  BirthDate DATE,
  HireDate DATE,
  City VARCHAR(15),
  Country VARCHAR(15),
  ReportsTo INTEGER REFERENCES Employees (EmployeeID),
  Notes TEXT
);

CREATE TABLE Shippers (
  ShipperID INTEGER PRIMARY KEY,
  CompanyName VARCHAR(40) NOT NULL,
  Phone VARCHAR(24)
);

CREATE TABLE Orders (
  OrderID INTEGER PRIMARY KEY,
  CustomerID CHAR(5) REFERENCES Customers (CustomerID),
  EmployeeID INTEGER REFERENCES Employees (EmployeeID),
  OrderDate DATE,
  RequiredDate DATE,
  ShippedDate DATE,
  ShipVia INTEGER REFERENCES Shippers (ShipperID),
  Freight MONEY,
  ShipName VARCHAR(40),
  ShipAddress VARCHAR(60),
  ShipCity VARCHAR(15),
  ShipCountry VARCHAR(15),
  ShipPostalCode VARCHAR(10)
);

CREATE TABLE "Order Details" (
  OrderID INTEGER NOT NULL REFERENCES Orders (OrderID),
  ProductID INTEGER NOT NULL REFERENCES Products (ProductID),
  UnitPrice MONEY NOT NULL,
  Quantity SMALLINT NOT NULL,
  Discount REAL NOT NULL DEFAULT 0,
  PRIMARY KEY (OrderID, ProductID)
);

CREATE VIEW "Order Subtotals" AS
  SELECT OrderID, ROUND(SUM(UnitPrice * Quantity * (1 - Discount)), 2) AS Subtotal
  FROM "Order Details"
  GROUP BY OrderID;

INSERT INTO Categories VALUES
  (1, 'Beverages', 'Teas, coffees, juices and mineral waters'),
  (2, 'Condiments', 'Sauces, relishes, spreads and seasonings'),
  (3, 'Confections', 'Biscuits, chocolates and sweet breads'),
  (4, 'Dairy Products', 'Cheeses and butter'),
  (5, 'Grains/Cereals', 'Breads, crackers, pasta and oat flakes'),
  (6, 'Meat/Poultry', 'Smoked and cured meats'),
  (7, 'Produce', 'Dried fruit and preserved vegetables'),
  (8, 'Seafood', 'Fish, shellfish and seaweed');

INSERT INTO Suppliers VALUES
  (1, 'Harrowgate Provisions', 'Edith Lamb', 'Leeds', NULL, 'LS2 7HP', 'UK', '(0113) 496 0112'),
  (2, 'Bayou Pantry Co.', 'Marcel Thibodeaux', 'Lafayette', 'LA', '70501', 'USA', '(337) 555-0148'),
  (3, 'Kirschgarten Feinkost', 'Ulrike Brandt', 'Freiburg', NULL, '79098', 'Germany', '0761-555 2210'),
  (4, 'Tokachi Dairy Guild', 'Haruka Ono', 'Obihiro', 'Hokkaido', '080-0012', 'Japan', '(0155) 55-0193'),
  (5, 'Cooperativa Serrana', 'Íñigo Larrañaga', 'Málaga', NULL, '29015', 'Spain', '(952) 555 384'),
  (6, 'Fjordlys Sjømat', 'Kari Nygård', 'Bergen', NULL, '5003', 'Norway', '55 55 01 77'),
  (7, 'Maple Ridge Farms', 'Owen McAllister', 'Québec', 'QC', 'G1R 4P5', 'Canada', '(418) 555-0120'),
  (8, 'Casa Bellavista', 'Lucia Ferraro', 'Parma', NULL, '43121', 'Italy', '(0521) 555 671'),
  (9, 'Fazenda Boa Esperança', 'João Figueiredo', 'São Paulo', 'SP', '01310-100', 'Brazil', '(11) 5555-0190'),
  (10, 'Nordkust Konserver', 'Sven Lindqvist', 'Göteborg', NULL, '411 04', 'Sweden', '031-555 09 12'),
  (11, 'Ardmore Mills', 'Niamh O''Connor', 'Cork', NULL, 'T12 X8Y2', 'Ireland', '(021) 555 0166'),
  (12, 'Pâtisserie Delorme', 'Camille Delorme', 'Lyon', NULL, '69002', 'France', '04 72 55 01 38');

INSERT INTO Products VALUES
  (1, 'Highland Breakfast Tea', 1, 1, '20 boxes x 25 bags', 18.00, 39, 0),
  (2, 'Cold-Brew Coffee Concentrate', 7, 1, '12 x 500 ml bottles', 21.50, 17, 0),
  (3, 'Elderflower Cordial', 1, 1, '24 x 330 ml bottles', 11.00, 64, 0),
  (4, 'Mountain Spring Water', 5, 1, '24 x 1 l bottles', 4.50, 120, 0),
  (5, 'Cajun Pepper Sauce', 2, 2, '48 x 150 ml bottles', 14.25, 53, 0),
  (6, 'Smoked Paprika Paste', 5, 2, '12 x 200 g jars', 19.75, 0, 1),
  (7, 'Black Cherry Relish', 3, 2, '12 x 250 g jars', 16.00, 27, 0),
  (8, 'Maple Mustard', 7, 2, '24 x 180 g jars', 12.40, 44, 0),
  (9, 'Pesto alla Genovese', 8, 2, '12 x 190 g jars', 17.90, 31, 0),
  (10, 'Hazelnut Chocolate Bar', 3, 3, '40 x 100 g bars', 9.80, 86, 0),
  (11, 'Lemon Shortbread', 11, 3, '24 x 150 g packs', 7.25, 58, 0),
  (12, 'Almond Macarons', 12, 3, '10 boxes x 12 pieces', 26.00, 12, 0),
  (13, 'Licorice Wheels', 10, 3, '30 x 200 g bags', 8.60, 0, 1),
  (14, 'Gingerbread Cookies', 3, 3, '20 x 250 g boxes', 10.50, 40, 0),
  (15, 'Aged Gouda', 4, 4, '10 x 500 g pieces', 32.00, 22, 0),
  (16, 'Sheep Milk Cheese', 5, 4, '12 x 300 g wheels', 28.50, 15, 0),
  (17, 'Cultured Butter', 4, 4, '20 x 250 g blocks', 6.90, 75, 0),
  (18, 'Parmigiano Reggiano', 8, 4, '6 x 1 kg wedges', 45.60, 9, 0),
  (19, 'Rye Crispbread', 10, 5, '24 x 250 g packs', 5.40, 104, 0),
  (20, 'Durum Wheat Penne', 8, 5, '20 x 500 g packs', 4.20, 130, 0),
  (21, 'Steel-Cut Oats', 11, 5, '12 x 1 kg bags', 9.10, 48, 0),
  (22, 'Corn Tortillas', 9, 5, '24 x 12 pieces', 6.30, 0, 0),
  (23, 'Smoked Ham Hock', 2, 6, '10 x 1 kg pieces', 24.00, 18, 0),
  (24, 'Cured Chorizo', 5, 6, '20 x 250 g links', 15.80, 36, 0),
  (25, 'Venison Salami', 6, 6, '16 x 300 g sticks', 38.20, 7, 0),
  (26, 'Duck Confit', 12, 6, '12 x 2 legs', 41.00, 0, 1),
  (27, 'Sun-Dried Tomatoes', 8, 7, '12 x 280 g jars', 11.60, 52, 0),
  (28, 'Dried Apricots', 9, 7, '20 x 500 g bags', 13.30, 66, 0),
  (29, 'Pickled Beetroot', 10, 7, '12 x 500 g jars', 7.70, 29, 0),
  (30, 'Roasted Red Peppers', 5, 7, '12 x 450 g jars', 9.95, 41, 0),
  (31, 'Smoked Salmon', 6, 8, '10 x 200 g packs', 29.40, 24, 0),
  (32, 'Pickled Herring', 10, 8, '12 x 400 g jars', 12.10, 70, 0),
  (33, 'Crawfish Tails', 2, 8, '24 x 450 g packs', 22.75, 11, 0),
  (34, 'Kombu Seaweed', 4, 8, '30 x 100 g packs', 8.15, 95, 0),
  (35, 'Salt Cod', 5, 8, '10 x 1 kg sides', 34.00, 14, 0),
  (36, 'Atlantic Mussels', 11, 8, '20 x 1 kg nets', 10.20, 0, 0),
  (37, 'Brazilian Coffee Beans', 9, 1, '16 x 1 kg bags', 37.50, 33, 0),
  (38, 'Lingonberry Jam', 10, 2, '24 x 400 g jars', 10.90, 47, 0),
  (39, 'Butter Croissants', 12, 5, '48 pieces', 19.20, 20, 0),
  (40, 'Hokkaido Milk Candy', 4, 3, '50 x 80 g bags', 6.45, 88, 0);

INSERT INTO Customers VALUES
  ('ABERD', 'Aberdeen Fine Foods', 'Fiona MacLeod', 'Aberdeen', NULL, 'AB10 1XG', 'UK', '(01224) 555 010'),
  ('ALPIN', 'Alpine Delikatessen', 'Matthias Gruber', 'Innsbruck', NULL, '6020', 'Austria', '0512-555 147'),
  ('ANDES', 'Andes Mercado', 'Valentina Rojas', 'Buenos Aires', NULL, '1010', 'Argentina', '(11) 4555-0193'),
  ('ATLAN', 'Atlantic Grocers', 'Mary Whitfield', 'Boston', 'MA', '02108', 'USA', '(617) 555-0134'),
  ('BAIXA', 'Mercearia da Baixa', 'Rui Carvalho', 'Lisboa', NULL, '1100-148', 'Portugal', '(21) 555 2781'),
  ('BALTI', 'Baltic Trading House', 'Agnieszka Nowak', 'Kraków', NULL, '31-008', 'Poland', '(12) 555 48 10'),
  ('BERGK', 'Bergkäse Stube', 'Jürgen Hoffmann', 'München', 'Bayern', '80331', 'Germany', '089-555 0731'),
  ('BLUEH', 'Blue Heron Market', 'Daniel Ortega', 'Portland', 'OR', '97204', 'USA', '(503) 555-0161'),
  ('BOREA', 'Borealis Foods', 'Mikko Virtanen', 'Helsinki', NULL, '00100', 'Finland', '09-555 1842'),
  ('BRUGS', 'Brugse Kaashandel', 'Pieter Vermeulen', 'Brugge', NULL, '8000', 'Belgium', '(050) 55 66 21'),
  ('CANAL', 'Canal Street Deli', 'Anthony Russo', 'New Orleans', 'LA', '70130', 'USA', '(504) 555-0107'),
  ('CARIO', 'Carioca Importadora', 'Beatriz Souza', 'Rio de Janeiro', 'RJ', '20040-002', 'Brazil', '(21) 5555-0144'),
  ('CEDAR', 'Cedar Hill Grocery', 'Paul Lefebvre', 'Montréal', 'QC', 'H2Y 1C6', 'Canada', '(514) 555-0182'),
  ('CHALE', 'Chalet Gourmand', 'Sophie Favre', 'Genève', NULL, '1204', 'Switzerland', '022 555 01 66'),
  ('COAST', 'Coastline Provisions', 'Grace Holloway', 'San Diego', 'CA', '92101', 'USA', '(619) 555-0129'),
  ('CORNE', 'Corner Pantry', 'Hannah Price', 'Cardiff', NULL, 'CF10 1EP', 'UK', '(029) 555 0175'),
  ('DANUB', 'Danube Delights', 'Eszter Kovács', 'Wien', NULL, '1010', 'Austria', '01-555 3390'),
  ('DELTA', 'Delta Wholesale', 'Carlos Mendoza', 'Ciudad de México', NULL, '06000', 'Mexico', '(55) 5555-0116'),
  ('DUBLI', 'Liffey Larder', 'Patrick Byrne', 'Dublin', NULL, 'D02 XY45', 'Ireland', '(01) 555 0198'),
  ('ELBEH', 'Elbe Handelshaus', 'Katrin Vogel', 'Hamburg', NULL, '20095', 'Germany', '040-555 2264'),
  ('EMPIR', 'Empire Fine Goods', 'Robert Chen', 'New York', 'NY', '10013', 'USA', '(212) 555-0153'),
  ('FJELL', 'Fjellmat AS', 'Ingrid Solberg', 'Oslo', NULL, '0150', 'Norway', '22 55 08 31'),
  ('FLORA', 'Flora Alimentari', 'Giulia Romano', 'Firenze', NULL, '50122', 'Italy', '(055) 555 1204'),
  ('GAUCH', 'El Gaucho Almacén', 'Martín Fernández', 'Córdoba', NULL, '5000', 'Argentina', '(351) 555-0176'),
  ('GOLDE', 'Golden Gate Gourmet', 'Linda Park', 'San Francisco', 'CA', '94103', 'USA', '(415) 555-0188'),
  ('HANSA', 'Hansa Kolonialwaren', 'Dieter Krüger', 'Bremen', NULL, '28195', 'Germany', '0421-555 6610'),
  ('HARBO', 'Harbour Lights Shop', 'Emma Collins', 'Halifax', 'NS', 'B3H 1A1', 'Canada', '(902) 555-0142'),
  ('ISLAN', 'Island Pantry', 'Siobhan O''Hara', 'Galway', NULL, 'H91 E2K3', 'Ireland', '(091) 555 0137'),
  ('JARDI', 'Le Jardin Gourmand', 'Élodie Marchand', 'Bordeaux', NULL, '33000', 'France', '05 56 55 01 29'),
  ('KOBEN', 'Københavns Viktualier', 'Mette Sørensen', 'København', NULL, '1050', 'Denmark', '33 55 12 80'),
  ('LAGOA', 'Lagoa Comércio', 'Ana Paula Ribeiro', 'São Paulo', 'SP', '04538-132', 'Brazil', '(11) 5555-0171'),
  ('LAKES', 'Great Lakes Supply', 'Michael O''Brien', 'Chicago', 'IL', '60601', 'USA', '(312) 555-0165'),
  ('LIMAT', 'Limmat Feinkost', 'Reto Baumann', 'Zürich', NULL, '8001', 'Switzerland', '044 555 07 14'),
  ('LOIRE', 'Épicerie de la Loire', 'Antoine Girard', 'Nantes', NULL, '44000', 'France', '02 40 55 01 83'),
  ('MADRI', 'Ultramarinos Castilla', 'Carmen Jiménez', 'Madrid', NULL, '28013', 'Spain', '(91) 555 22 40'),
  ('MAPLE', 'Maple Leaf Foods Co-op', 'James Thornton', 'Toronto', 'ON', 'M5H 2N2', 'Canada', '(416) 555-0119'),
  ('MERID', 'Meridiana Import', 'Francesca Bianchi', 'Napoli', NULL, '80133', 'Italy', '(081) 555 3317'),
  ('MESAV', 'Mesa Verde Market', 'Rosa Delgado', 'Santa Fe', 'NM', '87501', 'USA', '(505) 555-0150'),
  ('MOSEL', 'Moselland Weinkost', 'Heike Schäfer', 'Trier', NULL, '54290', 'Germany', '0651-555 4402'),
  ('NORTH', 'Northern Star Traders', 'Gunnar Eriksson', 'Luleå', NULL, '972 31', 'Sweden', '0920-555 11 23'),
  ('OHARA', 'O''Hara & Daughters', 'Brigid O''Hara', 'Boston', 'MA', '02110', 'USA', '(617) 555-0177'),
  ('OPORT', 'Armazém do Porto', 'Miguel Sousa', 'Porto', NULL, '4050-262', 'Portugal', '(22) 555 0819'),
  ('ORINO', 'Orinoco Distribuidora', 'Andrés Pérez', 'Caracas', NULL, '1010', 'Venezuela', '(212) 555-0138'),
  ('PAMPA', 'Pampa Provisiones', 'Lucía Gómez', 'Rosario', NULL, '2000', 'Argentina', '(341) 555-0192'),
  ('PARIS', 'Maison Lefèvre', 'Claire Lefèvre', 'Paris', NULL, '75004', 'France', '01 42 55 06 71'),
  ('PRAHA', 'Pražská Lahůdky', 'Tomáš Dvořák', 'Praha', NULL, '110 00', 'Czech Republic', '(2) 555 1940'),
  ('PUGET', 'Puget Sound Grocers', 'Kevin Yamamoto', 'Seattle', 'WA', '98101', 'USA', '(206) 555-0126'),
  ('RHEIN', 'Rheinische Delikatessen', 'Stefan Becker', 'Köln', NULL, '50667', 'Germany', '0221-555 3018'),
  ('RIOJA', 'Bodega La Rioja', 'Javier Ruiz', 'Logroño', NULL, '26001', 'Spain', '(941) 555 617'),
  ('SAMBA', 'Samba Alimentos', 'Fernanda Lima', 'São Paulo', 'SP', '01002-000', 'Brazil', '(11) 5555-0109'),
  ('SAVOY', 'Savoy Provisions', 'Oliver Bennett', 'London', NULL, 'WC2R 0EZ', 'UK', '(020) 5550 0186'),
  ('SEINE', 'Comptoir de la Seine', 'Julien Moreau', 'Rouen', NULL, '76000', 'France', '02 35 55 07 42'),
  ('SIERR', 'Sierra Nevada Foods', 'Tom Gallagher', 'Reno', 'NV', '89501', 'USA', '(775) 555-0114'),
  ('SOUTH', 'Southern Cross Imports', 'Laura Mitchell', 'Austin', 'TX', '78701', 'USA', '(512) 555-0145'),
  ('SPREE', 'Spreewald Handel', 'Anja Richter', 'Berlin', NULL, '10117', 'Germany', '030-555 7721'),
  ('TAGUS', 'Tagus Gourmet', 'Inês Costa', 'Lisboa', NULL, '1200-109', 'Portugal', '(21) 555 6632'),
  ('TORRE', 'La Torre Alimentari', 'Marco Conti', 'Torino', NULL, '10121', 'Italy', '(011) 555 4471'),
  ('UPPSA', 'Uppsala Skafferi', 'Astrid Holm', 'Uppsala', NULL, '753 10', 'Sweden', '018-555 30 55'),
  ('VISTU', 'Vistula Foods', 'Piotr Zieliński', 'Warszawa', NULL, '00-001', 'Poland', '(22) 555 71 09'),
  ('YUKON', 'Yukon Outfitters Store', 'Sarah Dawson', 'Vancouver', 'BC', 'V6B 1A1', 'Canada', '(604) 555-0158');

INSERT INTO Employees VALUES
  (1, 'Hartley', 'Margaret', 'Sales Manager', '1955-03-04', '1992-05-01', 'London', 'UK', NULL,
   'Joined after twelve years in grocery retail.'),
  (2, 'Okafor', 'Daniel', 'Sales Representative', '1966-11-20', '1992-08-14', 'London', 'UK', 1,
   'Handles the accounts of the British Isles.'),
  (3, 'Lindgren', 'Eva', 'Sales Representative', '1970-06-02', '1993-04-01', 'Seattle', 'USA', 1,
   'Speaks Swedish and Norwegian.'),
  (4, 'Moreno', 'Alejandro', 'Sales Representative', '1963-09-17', '1993-10-17', 'Seattle', 'USA', 1,
   'Covers Spain, Portugal and Latin America.'),
  (5, 'Becker', 'Sabine', 'Inside Sales Coordinator', '1968-01-09', '1994-01-02', 'London', 'UK', 1,
   'Coordinates orders with the shippers.'),
  (6, 'Nakamura', 'Kenji', 'Sales Representative', '1972-07-25', '1994-03-05', 'Seattle', 'USA', 5,
   'Joined from a tea importer.'),
  (7, 'Dubois', 'Hélène', 'Sales Representative', '1969-12-12', '1994-11-15', 'London', 'UK', 5,
   'Covers France, Belgium and Switzerland.'),
  (8, 'Walsh', 'Conor', 'Sales Representative', '1974-04-30', '1995-06-01', 'Seattle', 'USA', 5,
   'Covers Canada and Ireland.'),
  (9, 'Novak', 'Petra', 'Sales Representative', '1971-02-14', '1996-01-22', 'London', 'UK', 1,
   'Covers Central and Eastern Europe.');

INSERT INTO Shippers VALUES
  (1, 'Swiftline Couriers', '(503) 555-0131'),
  (2, 'Harbor Freight Lines', '(503) 555-0193'),
  (3, 'Parcel Eagle', '(503) 555-0148');

-- 830 orders from 4 July 1996 to 6 May 1998, spread evenly over the days; every customer,
-- employee and shipper takes part. The last orders are not shipped yet.
INSERT INTO Orders
  WITH RECURSIVE seq(n) AS (SELECT 0 UNION ALL SELECT n + 1 FROM seq WHERE n < 829)
  SELECT
    10248 + n,
    c.CustomerID,
    1 + (n * 4 + n / 9) % 9,
    date('1996-07-04', '+' || (n * 671 / 829) || ' days'),
    date('1996-07-04', '+' || (n * 671 / 829 + 28) || ' days'),
    CASE WHEN n >= 812 THEN NULL
         ELSE date('1996-07-04', '+' || (n * 671 / 829 + 1 + (n * 7) % 20) || ' days') END,
    1 + (n * 11) % 3,
    ROUND(((n * 7919) % 60000) / 100.0 + 0.35, 2),
    c.CompanyName,
    (1 + (n * 37) % 180) || ' ' || c.City || ' Road',
    c.City,
    c.Country,
    c.PostalCode
  FROM seq
  JOIN Customers c ON c.rowid = 1 + (n * 17 + n / 60) % (SELECT COUNT(*) FROM Customers);

-- One to four lines per order, each of a different product, at the product's list price.
INSERT INTO "Order Details"
  WITH RECURSIVE line(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM line WHERE k < 4)
  SELECT
    o.OrderID,
    p.ProductID,
    p.UnitPrice,
    1 + (o.OrderID * k * 3) % 60,
    CASE (o.OrderID + k) % 5 WHEN 0 THEN 0.05 WHEN 1 THEN 0.1 ELSE 0 END
  FROM Orders o
  JOIN line ON line.k <= 1 + o.OrderID % 4
  JOIN Products p ON p.ProductID = 1 + (o.OrderID * 7 + line.k * 13) % 40;
